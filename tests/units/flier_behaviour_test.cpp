#include <gtest/gtest.h>

#include <tuple>

#include "support/world_builders.h"
#include "records/statistics.h"
#include "units/flier_behaviour.h"
#include "units/pathing.h"
#include "units/unit_update.h"

namespace qm::test {

TEST(FlierBehaviour, FuelAndCrash) {
    // 600 acting frames on a mission with nothing to bomb, then home at fuel 399.
    Game g;
    put_unit(g, unit_player, 0, 390, 120);
    Unit& flier = put_unit(g, unit_own_flier, 3, 200, 60);
    Building& home = put_building(g, building_node, 3, 240, 80);
    put_building(g, building_node, 4, 201, 60);  // another faction's node is no home
    for (int turn = 0; turn < 600; ++turn) flier_behaviour(g, 1);
    EXPECT_EQ(std::tuple(flier.target_building, flier.fuel), std::tuple(nullptr, 400));
    flier_behaviour(g, 1);
    EXPECT_EQ(flier.target_building, &home);
    // It fills up on the home cell; with bombs left it is on a mission at the next frame.
    for (int turn = 0; turn < 390 && flier.fuel != 1000; ++turn) flier_behaviour(g, 1);
    ASSERT_EQ(flier.fuel, 1000);
    flier_behaviour(g, 1);
    EXPECT_EQ(flier.target_building, nullptr);  // the node is no mission target

    // A crash: everyone on the cell dies; nodes, corrupted nodes and keys survive, and the
    // razing is nobody's credit. The sweep of the unit update takes the dead and brings the
    // player back.
    Game f;
    Unit& player = put_unit(f, unit_player, 0, 150, 60, 30);
    put_unit(f, unit_enemy_flier, 4, 150, 60);
    put_unit(f, unit_citizen, 2, 150, 60);
    Unit& beside = put_unit(f, unit_enemy_soldier, 4, 151, 60);
    for (int kind = 0; kind <= 6; ++kind) put_building(f, kind, 4, 150, 60);
    crash(f, 1);
    unit_update(f);
    const Effect& fire = *f.effects.at(0);
    EXPECT_EQ(std::tuple(f.effects.size(), fire.kind, fire.x, fire.y, fire.life),
              std::tuple(1u, effect_fire, 150, 60, 100));
    ASSERT_EQ(f.buildings.size(), 3u);
    EXPECT_EQ(std::tuple(f.buildings[0]->kind, f.buildings[1]->kind, f.buildings[2]->kind),
              std::tuple(building_node, building_corrupted_node, building_key));
    EXPECT_EQ(std::tuple(f.units.size(), f.units[1].get(), player.x, player.y, player.hit_points),
              std::tuple(2u, &beside, 200, 62, 30));
    const auto& c = f.current_statistics.counters;
    EXPECT_EQ(std::tuple(c[stat_total_destroyed], c[stat_total_lost], c[stat_total_razed]), std::tuple(1u, 2u, 0u));

    // With no airfield of its faction a flier wanders, and comes down where its last move
    // took it when the fuel runs out.
    Game w;
    put_unit(w, unit_player, 0, 390, 120);
    put_unit(w, unit_enemy_flier, 2, 100, 50, 20, 0).fuel = 1;
    put_building(w, building_airfield, 3, 120, 50);
    unit_update(w);
    ASSERT_EQ(std::tuple(w.units.size(), w.effects.size()), std::tuple(1u, 1u));
    EXPECT_EQ(std::tuple(w.effects[0]->kind, distance(100, 50, w.effects[0]->x, w.effects[0]->y) <= 1),
              std::tuple(effect_fire, true));
    EXPECT_EQ(w.current_statistics.counters[deaths_index(2, unit_enemy_flier)], 1u);
}

}  // namespace qm::test
