#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "records/statistics.h"
#include "records/status_screen.h"
#include "support/scripted_terminal.h"
#include "world/lists.h"

namespace qm {
namespace {

// A game with only its player unit, from the first seed whose draws fit, and the key that
// closes the status screen.
struct StatusGame {
    Game game;
    test::ScriptedTerminal terminal;
    Unit& player = append_unit(game, Unit(unit_player));
    explicit StatusGame(const std::function<bool(std::uint32_t&)>& draws_fit) {
        game.terminal = &terminal;
        terminal.type({'k'});
        for (std::uint32_t s = game.seed = 1; !draws_fit(s); s = ++game.seed) {
        }
    }
};

TEST(StatusScreen, OozeBarHeights) {
    StatusGame s([](std::uint32_t&) { return true; });
    // A bar step per 10 ooze, cut at the screen's height; a debt shows at most one step.
    const std::pair<int, int> store_and_height[] = {{0, 0},    {9, 1},    {10, 2},    {19, 2}, {20, 3},
                                                    {240, 25}, {250, 25}, {5000, 25}, {-5, 1}, {-30, 0}};
    for (int f = 0; f < 10; ++f) s.game.ooze_store[f] = store_and_height[f].first;
    EXPECT_FALSE(show_status(s.game));
    for (int f = 0; f < 10; ++f) {
        const auto [store, height] = store_and_height[f];
        std::string column;
        for (int row = 0; row < 25; ++row) column += s.terminal.last_row(row)[f];
        EXPECT_EQ(column, std::string(height, '\x04') + std::string(25 - height, '\xFA')) << "store " << store;
    }
    EXPECT_EQ(s.terminal.last_row(12).substr(16), std::string(64, ' '));  // a full bar stops at the bottom row
}

TEST(StatusScreen, AllegianceAndLevels) {
    // The weapon's faction 12 at (1, 18) between its links, the first at (0, 17) and the third
    // at (2, 17); health 2 and weapon 3 as columns 17 and 19 from row 4 down, every other row;
    // skill 2 of faction 5 in column 40. Nothing flashes on the status screen.
    StatusGame s([](std::uint32_t&) { return true; });
    Unit& p = s.player;
    p.affinity = 12, p.links = {5, -1, 9, -1}, p.health_level = 2, p.weapon_level = 3, p.skill_levels[5] = 2;
    EXPECT_FALSE(show_status(s.game));
    const auto at = [&](int row, int column) {
        const Cell& c = s.terminal.last_cell(column, row);
        return std::array<int, 4>{c.glyph, c.fg, c.bg, c.bright};
    };
    const std::pair<std::array<int, 2>, std::array<int, 4>> cells[] = {
        {{1, 18}, {15, 4, 0, 1}},   {{0, 17}, {254, 5, 0, 0}}, {{2, 17}, {254, 1, 0, 1}}, {{0, 19}, {' ', 0, 0, 0}},
        {{4, 17}, {4, 4, 0, 1}},    {{6, 17}, {4, 4, 0, 1}},   {{8, 17}, {' ', 0, 0, 0}}, {{8, 19}, {30, 6, 0, 1}},
        {{10, 19}, {' ', 0, 0, 0}}, {{6, 40}, {157, 5, 0, 0}}, {{8, 40}, {' ', 0, 0, 0}}};
    for (const auto& [where, want] : cells) EXPECT_EQ(at(where[0], where[1]), want) << where[0] << "," << where[1];
}

}  // namespace
}  // namespace qm
