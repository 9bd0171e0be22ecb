#include <gtest/gtest.h>

#include <functional>

#include "console/startup.h"
#include "flow/sector_assignment.h"
#include "menus/menu_actions.h"
#include "records/statistics.h"
#include "soak/soak.h"
#include "world/lists.h"

namespace qm::soak {
namespace {

TEST(Invariants, EachBrokenRuleIsCaught) {
    Unit stray(unit_ooze);
    Building gone;
    // What breaks a rule, and the words the checker finds for it. Building 0 is the start node.
    const std::vector<std::pair<std::string, std::function<void(Game&, InvariantChecker&)>>> breaks{
        {"a second player unit at 3", [](Game& g, auto&) { append_unit(g, fresh_unit(g, unit_player)); }},
        {"records left outside a game", [](Game& g, auto&) { g.game_mode = 0; }},
        {"unit 1 targets a unit that is gone", [&](Game& g, auto&) { g.units[1]->target_unit = &stray; }},
        {"unit 1 targets a building that is gone", [&](Game& g, auto&) { g.units[1]->target_building = &gone; }},
        {"building 0: faction 16", [](Game& g, auto&) { g.buildings[0]->faction = 16; }},
        {"unit 2: off the map", [](Game& g, auto&) { g.units[2]->y = map_height; }},
        {"unit 2, carried: kind 7", [](Game& g, auto&) { g.units[2]->carry_slots[1].kind = 7; }},
        {"effect 0: kind 8", [](Game& g, auto&) { append_effect(g, Effect{.kind = 8}); }},
        {"more own troops", [](Game& g, auto&) {
             for (int i = 0; i <= purchase_limit; ++i) append_unit(g, Unit(unit_own_flier));
         }},
        {"(300, 100) holds 219 fg 3", [](Game& g, auto&) { map_cell(g, 300, 100) = Cell{219, 3, 0, 0}; }},
        {"building 0 left marked visited", [](Game& g, auto&) { g.buildings[0]->flags = building_visited; }},
        {"a carried building left marked visited",
         [](Game& g, auto&) { (g.units[0]->carry_slots[2] = *g.buildings[0]).flags = building_visited; }},
        {"cycle ooze 1 but 0 gathered", [](Game& g, auto&) { ++g.cycle_ooze[4]; }},
        {"counter 51 is not its sum", [](Game& g, auto&) { bump(g.current_statistics, stat_gathered + 15); }},
        // A death counted for a faction past the sixteen lands in another counter.
        {"counter 375 is not its sum", [](Game& g, auto&) { record_death(g, 16, unit_citizen); }},
        {"without a node to read", [](Game& g, auto&) { g.open_menu = 0, g.menu_building = 99; }},
        // Opened on the start node, then pointing at the corrupted node.
        // A unit that turns or moves without telling the world index.
        {"unit 1 is filed as kind 2", [](Game& g, auto&) { g.units[1]->kind = unit_ooze; }},
        {"the node menu slid off its node", [](Game& g, auto& c) { g.open_menu = 0, c.check(g), g.menu_building = 1; }},
    };
    for (const auto& [words, breaking] : breaks) {
        auto game = std::make_unique<Game>();
        game->seed = 4242;
        reset_game_state(*game);
        start_new_game(*game);
        InvariantChecker checker;
        // What the game lays and counts is not mistaken for a fault.
        map_cell(*game, 300, 100) = Cell{'.', 3, 0, 1};
        record_death(*game, 15, unit_boss);
        ASSERT_EQ(checker.check(*game), "");
        breaking(*game, checker);
        const std::string fault = checker.check(*game);
        EXPECT_NE(fault.find(words), std::string::npos) << words << ", not " << fault;
    }
}

TEST(Soak, ShortSoakKeepsEveryInvariant) {
    // Short games and a rush in every other one, so defeats, new games and megabosses all come
    // within a few thousand frames.
    const SoakReport report =
        run_soak({.seed = 11, .frames = 30000, .shortest_game = 600, .longest_game = 2500, .rush_one_in = 2});
    EXPECT_EQ(report.failure, "");
    EXPECT_EQ(report.frames, 30000u);
    EXPECT_GE(report.checks, report.frames);
    EXPECT_GT(report.games, 4u);
    EXPECT_GT(report.megabosses_defeated, 0u);
}

}  // namespace
}  // namespace qm::soak
