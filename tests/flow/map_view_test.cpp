#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <tuple>
#include <utility>

#include "flow/follow_view.h"
#include "flow/map_view.h"
#include "support/scripted_terminal.h"
#include "support/world_builders.h"
#include "world/lists.h"

namespace qm {
namespace {

// The start-sector window (160, 50) over open ground, the player unit at (200, 62).
struct View {
    Game g;
    test::ScriptedTerminal terminal;
    View() {
        g.terminal = &terminal;
        append_unit(g, test::unit_at(unit_player, 200, 62)).hit_points = 10;
    }
    // Draws at this tick and gives the screen cell over map cell (x, y).
    Cell draw(std::uint32_t tick, int x = 170, int y = 55) {
        terminal.clock = tick;
        draw_map_view(g);
        return g.screen.at(x - g.view_x, y - g.view_y);
    }
    std::string row(int r) const { return row_text(g.screen, r); }
};

TEST(MapView, GlyphsOfUnitsBossesAndBuildings) {
    // Row 5: one unit of each kind at phase 100, their animations at three ticks (the citizen's
    // bounce right on its steps at 266 and 533). Row 6: one boss per faction; factions 3 and 12
    // shimmer over two and three glyphs.
    View v;
    for (int k = 0; k < 10; ++k) append_unit(v.g, test::unit_at(k, 170 + k, 55, 4)).phase = 100;
    for (int f = 0; f < 16; ++f) append_unit(v.g, test::unit_at(unit_boss, 170 + f, 56, f));
    const std::pair<std::uint32_t, std::string> rows[] = {
        {966, "\xC4O'\x8E@\x9D\x85\x9CZ&"}, {1000, "\\O'\x8E@\x9D\xA0\x9C\xE4&"}, {1233, "/o`\x8F@\x9D\xA0\x9F\xE4&"}};
    for (const auto& [tick, glyphs] : rows) {
        v.draw(tick);
        EXPECT_EQ(v.row(5).substr(10, 10), glyphs) << tick;
    }
    std::string bosses = v.row(6).substr(10, 16);
    EXPECT_TRUE(bosses[3] >= '\xC1' && bosses[3] <= '\xC2' && bosses[12] >= '\xB0' && bosses[12] <= '\xB2') << bosses;
    bosses[3] = bosses[12] = '?';
    EXPECT_EQ(bosses, "WSD?&~k\x0E\xE9\x80\x02\x92?L0A");

    // Row 7: nodes on a source, on energised floor and on plain ground, then the blinking hostile
    // buildings and the key.
    map_cell(v.g, 170, 57) = source_cell;
    map_cell(v.g, 171, 57) = Cell{'.', 3, 0, 0};
    const int kinds[] = {building_node, building_node, building_node, building_corrupted_node, building_key,
                         building_barracks};
    for (int i = 0; i < 6; ++i) append_building(v.g, Building{.kind = kinds[i], .faction = 10 - i, .x = 170 + i, .y = 57});
    const std::pair<std::uint32_t, std::array<Cell, 6>> looks[] = {
        {1049, {{{254, 2, 3, 1}, {254, 1, 3, 1}, {254, 0, 7, 1}, {'X', 7, 5, 0}, {13, 6, 0, 1}, {19, 5, 5, 0}}}},
        {1250, {{{254, 2, 1, 1}, {254, 1, 1, 1}, {254, 0, 1, 1}, {197, 7, 4, 0}, {13, 6, 0, 1}, {19, 5, 4, 0}}}}};
    for (const auto& [tick, want] : looks) {
        for (int i = 0; i < 6; ++i) EXPECT_EQ(v.draw(tick, 170 + i, 57), want[i]) << tick << " " << i;
    }
    // A megaboss flickers through the eight colours, bright or not, drawn afresh each frame.
    View m;
    append_unit(m.g, test::unit_at(unit_boss, 170, 55, 4)).flags = unit_megaboss;
    std::set<int> colours;
    for (int frame = 0; frame < 60; ++frame) colours.insert(m.draw(0).fg + 8 * m.g.screen.at(10, 5).bright);
    EXPECT_EQ(colours.size(), 16u);
}

TEST(MapView, HealthBarAndBanner) {
    View v;
    Unit& player = *v.g.units[0];
    // y, hit points, countdown, megaboss type; then the bar's row and rows 0, 1, 23 and 24.
    // Near the top the bar and banner go to the bottom, 17 rows below the top they come back.
    const std::string ground(80, '.'), bar(80, ' ');
    const std::tuple<int, int, int, int, int, std::string, std::string, std::string, std::string> frames[] = {
        {53, 10, -1, 0, 0, ground, ground, ground, ground},
        {58, 4, -1, 0, 0, bar, ground, ground, ground},
        {57, 4, 2000, 6, 24, ground, ground, "   KURTULMAK IS COMING: 2000   " + ground.substr(31), bar},
        {66, 4, 42, 6, 24, ground, ground, "   KURTULMAK IS COMING: 42     " + ground.substr(31), bar},
        {67, 10, 7, 13, 0, ground, "   DEATH LORD IS COMING: 7      " + ground.substr(32), ground, ground},
        {67, 10, -2, 13, 0, ground, ground, ground, ground}};
    for (const auto& [y, hit_points, countdown, type, bar_row, row0, row1, row23, row24] : frames) {
        place_unit(v.g, player, player.x, y), player.hit_points = hit_points, v.g.wave_countdown = countdown, v.g.megaboss_type = type;
        v.draw(0);
        EXPECT_EQ(std::tuple(int{v.g.bar_row}, v.row(0), v.row(1), v.row(23), v.row(24)),
                  std::tuple(bar_row, row0, row1, row23, row24)) << y;
    }
    // Four hit points: four magenta segments of eight; the banner in the megaboss's colour.
    player.hit_points = 4, v.g.wave_countdown = 7;
    v.draw(0);
    EXPECT_EQ(std::tuple(v.g.screen.at(31, 0).bg, v.g.screen.at(32, 0).bg, v.g.screen.at(3, 1)),
              std::tuple(5, 0, Cell{'D', 5, 0, 1}));
}

}  // namespace
}  // namespace qm
