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

TEST(StatusScreen, PromotionDrawsAndCaps) {
    // The row of the promotion's table drawn, then health, weapon and skill levels before and after.
    const std::array<int, 7> cases[] = {
        {0, 3, 0, 0, 4, 0, 0},     {0, 10, 4, 0, 10, 5, 0},   {0, 10, 10, 5, 10, 10, 5},  // the skill stops at 5
        {1, 2, 10, 0, 3, 10, 0},   {3, 0, 0, 9, 0, 0, 10},    {4, 3, 10, 10, 4, 10, 10},
        {6, 10, 3, 10, 10, 4, 10}, {7, 10, 10, 10, 10, 10, 10},
    };
    for (const auto& [choice, health, weapon, skill, health_after, weapon_after, skill_after] : cases) {
        SCOPED_TRACE(testing::Message() << "row " << choice << " from " << health << "," << weapon << "," << skill);
        // A promotion at a node of faction 6 with nothing linked: four link draws, then one choice.
        StatusGame s([choice = choice](std::uint32_t& seed) {
            for (int i = 0; i < 4; ++i) random_below(seed, 4);
            return random_below(seed, 8) == choice;
        });
        Unit& p = s.player;
        std::tie(p.health_level, p.weapon_level, p.skill_levels[6], p.skill_levels[2]) =
            std::tuple(health, weapon, skill, 7);
        std::tie(p.max_hit_points, p.hit_points) = std::pair(10 + 10 * health, 3);
        EXPECT_FALSE(promote(s.game, 6, -1, -1, -1, -1));
        EXPECT_EQ(std::tuple(p.health_level, p.weapon_level, p.skill_levels[6]),
                  std::tuple(health_after, weapon_after, skill_after));
        // A health level gained brings 10 more hit points, and heals.
        const int max = 10 + 10 * health_after;
        EXPECT_EQ(std::pair(p.max_hit_points, p.hit_points), std::pair(max, health_after > health ? max : 3));
        const auto& st = s.game.current_statistics.counters;
        EXPECT_EQ(std::tuple(st[stat_health_level], st[stat_weapon_level], st[stat_leadership_levels + 6],
                             st[stat_experience]),
                  std::tuple(health_after, weapon_after, skill_after, health_after + weapon_after + skill_after + 7));
    }
    // Each of the four links draws, linked or not; one that draws 0 joins with its own faction.
    // Here the top left draws 0 with nothing linked, the bottom left 0 with faction 12 linked,
    // and both raises drawn go to a skill first.
    StatusGame s([](std::uint32_t& seed) {
        bool fits = true;
        for (bool zero : {true, false, true, false}) fits = (random_below(seed, 4) == 0) == zero && fits;
        return random_below(seed, 8) >= 2 && random_below(seed, 8) >= 2 && fits;
    });
    EXPECT_FALSE(promote(s.game, 3, -1, 11, 12, 11));
    EXPECT_EQ(std::tuple(s.player.skill_levels[3], s.player.skill_levels[12], s.player.skill_levels[11]),
              std::tuple(1, 1, 0));
}

}  // namespace
}  // namespace qm
