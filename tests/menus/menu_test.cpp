#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>

#include "menus/menu_actions.h"
#include "menus/menu_display.h"
#include "records/statistics.h"
#include "support/scripted_terminal.h"
#include "support/world_builders.h"
#include "units/combat.h"
#include "world/lists.h"

namespace qm {
namespace {

// The node menu of a faction-3 node at (205, 62) open, the player beside it in screen column 44.
struct Menu {
    Game g;
    test::ScriptedTerminal terminal;
    explicit Menu(int ooze) {
        g.terminal = &terminal;
        append_unit(g, test::unit_at(unit_player, 204, 62));
        add(building_node, 3, 205, 62);
        g.open_menu = g.menu_building = 0;
        g.ooze_store[3] = ooze;
    }
    void add(int kind, int f, int x, int y) { append_building(g, Building{.kind = kind, .faction = f, .x = x, .y = y}); }
    const Cell& at(int column, int row) const { return g.screen.at(column, row); }
    std::string row(int r, int left, int length = 5) const { return row_text(g.screen, r).substr(left, length); }
    void draw() {
        clear_screen(g.screen);
        draw_menu(g);
    }
    std::uint32_t counter(int index) const { return g.current_statistics.counters[index]; }
};

TEST(MenuDisplay, BothSidesAndTheThresholds) {
    Menu m(10);
    place_unit(m.g, *m.g.units[0], 199, 62);  // screen column 39: the grid at the right edge, columns 60..76
    m.draw();
    // 10 ooze: q, w, e and a lit with their letters in the node's colour; d, z and c dark grey
    // without; the close box always there, the centre empty.
    const std::string lit = "\xC0\xC4Q\xC4\xD9 \xC0\xC4W\xC4\xD9 \xC0\xC4\x45\xC4\xD9", dark = "\xC0\xC4\xC4\xC4\xD9";
    const std::string bottom = dark + " \xC0\xC4X\xC4\xD9 " + dark;  // z, the close box, c
    EXPECT_EQ(std::tuple(m.row(0, 0, 77), m.row(4, 60, 17), m.row(10, 60, 17), m.row(16, 60, 17)),
              std::tuple(std::string(60, ' ') + "\xDA\xC4\xC4\xC4\xBF \xDA\xC4\xC4\xC4\xBF \xDA\xC4\xC4\xC4\xBF", lit,
                         "\xC0\xC4\x41\xC4\xD9       " + dark, bottom));
    EXPECT_EQ(std::tuple(m.at(62, 2), m.at(60, 6), m.at(74, 8), m.at(74, 10)),
              std::tuple(Cell{15, 3, 0, 0}, Cell{218, 7, 0, 1}, Cell{156, 0, 0, 1}, Cell{196, 0, 0, 1}));
    // Each box's picture in its middle, lit or dark: q, w, e, a, d, z and c.
    std::string pictures;
    for (auto [c, r] : {std::pair{62, 2}, {68, 2}, {74, 2}, {62, 8}, {74, 8}, {62, 14}, {74, 14}}) {
        pictures += static_cast<char>(m.at(c, r).glyph);
    }
    EXPECT_EQ(pictures, "\x0F\xE3\x8F\xE6\x9C\xE4\x18");
    m.g.ooze_store[3] = 9;
    m.draw();
    EXPECT_EQ(m.row(4, 60, 17), "\xC0\xC4Q\xC4\xD9 " + dark + " " + dark);

    // A linked node marks the lit boxes' corners. In screen column 40 the grid is at the left edge.
    m.add(building_node, 9, 203, 61);
    place_unit(m.g, *m.g.units[0], 200, 62);
    m.draw();
    EXPECT_EQ(std::tuple(m.at(0, 0), m.at(4, 0), m.at(12, 6), m.row(16, 0, 17), m.row(0, 60)),
              std::tuple(Cell{254, 1, 0, 1}, Cell{191, 7, 0, 1}, Cell{218, 0, 0, 1}, bottom, "     "));

    // The hints over an inactive node and a key: a source and a barrier in the top box, over
    // blanks in the frame's white, with the close box below.
    for (const auto& [menu, look] : {std::pair{1, Cell{15, 1, 1, 1}}, {2, Cell{234, 0, 7, 0}}}) {
        m.g.open_menu = menu;
        m.draw();
        const Cell blank{' ', 7, 0, 1};
        EXPECT_EQ(std::tuple(m.at(8, 2), m.at(7, 1), m.at(9, 3), m.row(16, 6, 5)),
                  std::tuple(look, blank, blank, "\xC0\xC4X\xC4\xD9")) << menu;
    }
}

TEST(MenuPurchases, TooPoorAtTheLimitNoRoomAndPastTheEndOfTheList) {
    Menu poor(9);  // w and e cost 10: nothing happens at all; a and q still work
    for (auto [dx, dy] : {std::pair{0, -1}, {1, -1}, {-1, 0}, {-1, -1}}) EXPECT_FALSE(menu_key(poor.g, dx, dy));
    EXPECT_EQ(std::tuple(poor.g.ooze_store[3], poor.g.menu_flash[3], poor.g.menu_flash[6], poor.g.buildings.size()),
              std::tuple(5, 0, 0, 2u));

    // At 500 of their kind a purchase is refused and nothing is paid: towers and barricades each,
    // own soldiers and generals together, fliers; the rest sell (10, 1, 10, 30 and 50 ooze).
    for (const auto& [crowd, left] : {std::pair{0, 909}, {1, 900}, {2, 939}, {3, 949}}) {
        Menu full(1000);
        for (int i = 0; i < 500; ++i) {
            if (crowd < 2) full.add(crowd == 0 ? building_tower : building_barricade, 0, 300, 100);
            if (crowd >= 2) append_unit(full.g, Unit(crowd == 3 ? unit_own_flier : i % 2 ? unit_own_soldier : unit_own_general));
        }
        for (auto [dx, dy] : {std::pair{0, -1}, {-1, 0}, {1, -1}, {1, 0}, {-1, 1}}) EXPECT_FALSE(menu_key(full.g, dx, dy));
        EXPECT_EQ(full.g.ooze_store[3], left) << crowd;
    }

    Menu boxed(100);  // every neighbour taken: paid for, lit, and nothing made
    for (int i = 0; i < 9; ++i) {
        if (i != 4) boxed.add(building_barricade, 3, 204 + i / 3, 61 + i % 3);
    }
    for (auto [dx, dy] : {std::pair{0, -1}, {1, -1}, {-1, 0}, {1, 0}}) EXPECT_FALSE(menu_key(boxed.g, dx, dy));
    EXPECT_EQ(std::tuple(boxed.g.ooze_store[3], boxed.g.buildings.size(), boxed.g.units.size(),
                         boxed.counter(stat_total_recruits), boxed.g.menu_flash[menu_box_index(1, 0)]),
              std::tuple(100 - 10 - 10 - 1 - 30, 9u, 1u, 0u, 23));

    // The node's index past the end of the list, or a building with no ooze store: the key
    // handler and the display both close the menu, and nothing is bought or drawn.
    Menu m(1000);
    for (auto [index, faction] : {std::pair{1, 3}, {-1, 3}, {0, 16}}) {
        m.g.menu_building = index;
        m.g.buildings[0]->faction = faction;
        m.g.open_menu = 0;
        EXPECT_FALSE(menu_key(m.g, 0, -1));
        const int after_key = m.g.open_menu;
        m.g.open_menu = 0;
        m.draw();
        EXPECT_EQ(std::tuple(after_key, m.g.open_menu, m.g.buildings.size(), m.g.ooze_store[3], screen_text(m.g.screen)),
                  std::tuple(-1, -1, 1u, 1000, screen_text(ScreenBuffer{})));
    }
}

}  // namespace
}  // namespace qm
