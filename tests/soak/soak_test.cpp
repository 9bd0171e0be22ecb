#include <gtest/gtest.h>

#include "console/startup.h"
#include "flow/sector_assignment.h"
#include "records/statistics.h"
#include "soak/invariants.h"
#include "soak/soak_run.h"
#include "world/lists.h"

namespace qm::soak {
namespace {

// A game as the sector assignment leaves it, for the checker to judge and the test to break.
std::unique_ptr<Game> fresh_game() {
    auto game = std::make_unique<Game>();
    game->seed = 4242;
    reset_game_state(*game);
    start_new_game(*game);
    return game;
}

bool holds(Game& game) {
    InvariantChecker checker;
    return checker.check(game);
}

TEST(Invariants, EachBrokenRuleIsCaught) {
    auto game = fresh_game();
    InvariantChecker checker;
    ASSERT_TRUE(checker.check(*game)) << checker.failure();
    EXPECT_EQ(checker.checks_passed(), 7u);

    {
        auto g = fresh_game();
        Unit second = fresh_unit(*g);
        append_unit(*g, second);  // kind 0: a second player unit
        EXPECT_FALSE(holds(*g));
    }
    {
        auto g = fresh_game();
        Unit stray;
        g->units[1]->target_unit = &stray;
        EXPECT_FALSE(holds(*g));
        g->units[1]->target_unit = g->units[2].get();
        // A carried building is a fair target; a building no list holds is not.
        g->units[1]->target_building = &g->units[0]->carry_slots[5];
        EXPECT_TRUE(holds(*g));
        Building gone;
        g->units[1]->target_building = &gone;
        EXPECT_FALSE(holds(*g));
    }
    {
        auto g = fresh_game();
        g->buildings[0]->faction = 16;
        EXPECT_FALSE(holds(*g));
        g->buildings[0]->faction = 3;
        g->effects.clear();
        Effect drop;
        drop.kind = 8;
        append_effect(*g, drop);
        EXPECT_FALSE(holds(*g));
    }
    {
        auto g = fresh_game();
        map_cell(*g, 300, 100) = Cell{'.', 3, 0, 1};  // energised floor, level 3
        EXPECT_TRUE(holds(*g));
        map_cell(*g, 300, 100) = Cell{219, 3, 0, 0};  // a wall the game never lays
        EXPECT_FALSE(holds(*g));
        map_cell(*g, 300, 100) = Cell{'.', 2, 9, 0};
        EXPECT_FALSE(holds(*g));
    }
    {
        auto g = fresh_game();
        g->units[0]->carry_slots[2].kind = building_node;
        g->units[0]->carry_slots[2].flags = static_cast<std::int32_t>(building_visited);
        EXPECT_FALSE(holds(*g));
    }
    {
        auto g = fresh_game();
        InvariantChecker c;
        ASSERT_TRUE(c.check(*g));
        record_gathered(*g, 4);
        EXPECT_TRUE(c.check(*g));
        ++g->cycle_ooze[4];  // ooze that was never gathered
        EXPECT_FALSE(c.check(*g));
    }
    {
        // An open node menu stays on its node while the list closes up before it.
        auto g = fresh_game();
        Building tower = fresh_building(*g);
        tower.kind = building_tower;
        tower.x = 190;
        tower.y = 60;
        g->buildings.insert(g->buildings.begin(), std::make_unique<Building>(tower));
        InvariantChecker c;
        g->open_menu = 0;
        g->menu_building = 1;  // the node at (205, 62)
        ASSERT_TRUE(c.check(*g)) << c.failure();
        remove_building(*g, 0);
        EXPECT_TRUE(c.check(*g)) << c.failure();
        EXPECT_EQ(c.menu_followed(), 1u);
        g->menu_building = 1;  // slid onto the corrupted node
        EXPECT_FALSE(c.check(*g));
        g->menu_building = static_cast<std::int32_t>(g->buildings.size());
        EXPECT_FALSE(holds(*g));
        g->open_menu = 3;
        EXPECT_FALSE(holds(*g));
    }
}

TEST(Soak, ShortSoakKeepsEveryInvariant) {
    // Short games and a rush in every other one, so defeats, new games and megabosses all come
    // within a few thousand frames a seed.
    SoakReport total;
    for (std::uint32_t seed : {11u, 12u, 13u, 14u, 15u}) {
        ScratchDirectory scores;
        SoakOptions options;
        options.seed = seed;
        options.frames = 6000;
        options.score_directory = scores.path();
        options.shortest_game = 600;
        options.longest_game = 2500;
        options.rush_one_in = 2;
        const SoakReport report = run_soak(options);
        EXPECT_EQ(report.failure, "");
        total.add(report);
    }
    std::cout << "short soak: " << total.frames << " frames, " << total.checks << " invariant checks passed, "
              << total.games << " games, " << total.megabosses_defeated << " megabosses defeated\n";
    EXPECT_EQ(total.frames, 30000u);
    EXPECT_GT(total.games, 4u);
    EXPECT_GT(total.megabosses_defeated, 0u);
    EXPECT_GT(total.menu_followed, 0u);
    for (std::size_t k = 0; k < total.purchases.size(); ++k) {
        EXPECT_GT(total.purchases[k], 0u) << "no purchase with " << purchase_keys[k];
    }
    for (std::size_t s = 0; s < total.shown.size(); ++s) EXPECT_GT(total.shown[s], 0u) << "screen " << s;
}

}  // namespace
}  // namespace qm::soak
