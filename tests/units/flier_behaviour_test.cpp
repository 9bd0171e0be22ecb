#include <gtest/gtest.h>

#include "records/statistics.h"
#include "units/flier_behaviour.h"
#include "units/pathing.h"
#include "units/unit_update.h"
#include "units/unit_world.h"

namespace qm {
namespace {

using test::add_building;
using test::add_unit;
using test::start_world;

TEST(FlierBehaviour, FuelTurnsItHomeAndRefuelling) {
    Game g;
    start_world(g, 390, 120);
    Unit& flier = add_unit(g, unit_own_flier, 200, 60, 3);
    Building& home = add_building(g, building_node, 240, 80, 3);
    add_building(g, building_node, 201, 60, 4);  // another faction's node is no home
    g.seed = 11;
    // 600 acting frames on a mission with nothing to hit: the node is no mission target.
    for (int turn = 0; turn < 600; ++turn) {
        flier_behaviour(g, 1);
        ASSERT_EQ(flier.target_building, nullptr);
    }
    EXPECT_EQ(flier.fuel, 400);
    flier_behaviour(g, 1);
    EXPECT_EQ(flier.fuel, 399);
    EXPECT_EQ(flier.target_building, &home);

    // It flies home and fills up there; with bombs left it is off again at the next frame.
    int turns = 0;
    while (flier.fuel != 1000 && turns < 390) {
        flier_behaviour(g, 1);
        ++turns;
    }
    ASSERT_EQ(flier.fuel, 1000);
    flier_behaviour(g, 1);
    EXPECT_EQ(flier.fuel, 999);
    EXPECT_EQ(flier.target_building, nullptr);  // the node is no mission target
}

TEST(FlierBehaviour, RearmingOnTheHomeCell) {
    Game g;
    start_world(g, 390, 120);
    Unit& flier = add_unit(g, unit_enemy_flier, 150, 60, 5);
    add_building(g, building_airfield, 150, 60, 5);
    Unit& citizen = add_unit(g, unit_citizen, 160, 60, 1);
    flier.ammo = 0;
    flier.fuel = 1000;
    flier.target_unit = &citizen;
    int turns = 0;
    while (flier.ammo == 0 && turns < 20000) {
        // Without bombs it stays in home mode whatever its fuel.
        flier.x = 150;
        flier.y = 60;
        flier_behaviour(g, 1);
        EXPECT_EQ(flier.fuel, 1000);
        if (flier.ammo == 0) {
            EXPECT_EQ(flier.target_unit, &citizen);
        }
        ++turns;
    }
    EXPECT_EQ(flier.ammo, 10);
    EXPECT_EQ(flier.target_unit, nullptr);
    EXPECT_EQ(flier.target_building, nullptr);
    EXPECT_TRUE(g.effects.empty());
}

TEST(FlierBehaviour, MissionTargetsAndBombs) {
    // The enemy flier goes for own units (own fliers too) and towers, never its own side.
    Game g;
    start_world(g, 390, 120);
    Unit& flier = add_unit(g, unit_enemy_flier, 100, 50, 5);
    add_unit(g, unit_enemy_flier, 101, 50, 5);
    add_unit(g, unit_ooze, 100, 51, 5);
    Unit& own_flier = add_unit(g, unit_own_flier, 104, 50, 2);
    Building& tower = add_building(g, building_tower, 96, 50, 2);
    add_building(g, building_barracks, 100, 49, 5);
    flier_behaviour(g, 1);
    EXPECT_EQ(flier.target_unit, &own_flier);
    EXPECT_EQ(flier.target_building, &tower);

    // A tie goes to the tower; a bomb at most once a frame, aimed from where the flier was.
    int bombs = 0;
    for (int turn = 0; turn < 200; ++turn) {
        flier.x = 100;
        flier.y = 50;
        const std::size_t before = g.effects.size();
        const int ammo = flier.ammo;
        flier_behaviour(g, 1);
        if (flier.target_building != &tower || flier.target_unit != &own_flier) continue;
        ASSERT_LE(g.effects.size(), before + 1);
        if (g.effects.size() == before) continue;
        ++bombs;
        const Effect& bomb = *g.effects.back();
        EXPECT_EQ(bomb.kind, effect_hostile_shot);
        EXPECT_EQ(bomb.x, 100);
        EXPECT_EQ(bomb.vx, -4);
        EXPECT_EQ(bomb.vy, 0);
        EXPECT_EQ(bomb.life, 20);
        EXPECT_EQ(bomb.faction, 5);
        EXPECT_EQ(flier.ammo, ammo - 1);
        flier.ammo = 10;
    }
    EXPECT_GT(bombs, 20);
    EXPECT_LT(bombs, 90);

    // The own flier drops friendly shots on barracks and airfields.
    Game o;
    start_world(o, 390, 120);
    Unit& bomber = add_unit(o, unit_own_flier, 100, 50, 3);
    Building& barracks = add_building(o, building_barracks, 103, 52, 6);
    add_building(o, building_tower, 100, 51, 6);
    for (int turn = 0; turn < 40; ++turn) {
        bomber.x = 100;
        bomber.y = 50;
        bomber.ammo = 10;
        flier_behaviour(o, 1);
    }
    EXPECT_EQ(bomber.target_building, &barracks);
    ASSERT_FALSE(o.effects.empty());
    for (const auto& e : o.effects) {
        EXPECT_EQ(e->kind, effect_friendly_shot);
        EXPECT_EQ(e->vx, 3);
        EXPECT_EQ(e->vy, 2);
    }
    // Out of bombing range: 11 rows away, it only flies on.
    o.effects.clear();
    barracks.y = 61;
    for (int turn = 0; turn < 40; ++turn) {
        bomber.x = 100;
        bomber.y = 50;
        flier_behaviour(o, 1);
    }
    EXPECT_EQ(bomber.target_building, &barracks);
    EXPECT_TRUE(o.effects.empty());
}

TEST(FlierBehaviour, CrashInFlames) {
    Game g;
    start_world(g, 150, 60);
    Unit& player = *g.units[0];
    player.max_hit_points = 30;
    Unit& flier = add_unit(g, unit_enemy_flier, 150, 60, 4);
    add_unit(g, unit_citizen, 150, 60, 2);
    add_unit(g, unit_own_flier, 150, 60, 2);
    Unit& beside = add_unit(g, unit_enemy_soldier, 151, 60, 4);
    for (const int kind : {0, 1, 2, 3, 4, 5, 6}) add_building(g, kind, 150, 60, 4);
    Building& spared_tower = add_building(g, building_tower, 150, 61, 2);
    Unit& hunter = add_unit(g, unit_boss, 140, 60, 4);
    hunter.target_building = g.buildings[2].get();  // the tower on the crash cell

    crash(g, 1);
    ASSERT_EQ(g.effects.size(), 1u);
    EXPECT_EQ(g.effects[0]->kind, effect_fire);
    EXPECT_EQ(g.effects[0]->x, 150);
    EXPECT_EQ(g.effects[0]->y, 60);
    EXPECT_EQ(g.effects[0]->life, 100);
    ASSERT_EQ(g.buildings.size(), 4u);
    EXPECT_EQ(g.buildings[0]->kind, building_node);
    EXPECT_EQ(g.buildings[1]->kind, building_corrupted_node);
    EXPECT_EQ(g.buildings[2]->kind, building_key);
    EXPECT_EQ(g.buildings[3].get(), &spared_tower);
    EXPECT_EQ(hunter.target_building, nullptr);
    EXPECT_EQ(flier.hit_points, 0);
    EXPECT_EQ(player.hit_points, 0);
    EXPECT_EQ(beside.hit_points, 20);
    // Razing by a crash is nobody's credit.
    EXPECT_EQ(g.current_statistics.counters[stat_total_razed], 0u);

    // The sweep of the unit update takes the dead and brings the player back.
    unit_update(g);
    ASSERT_EQ(g.units.size(), 3u);
    EXPECT_EQ(g.units[1].get(), &beside);
    EXPECT_EQ(player.x, 200);
    EXPECT_EQ(player.y, 62);
    EXPECT_EQ(player.hit_points, 30);
    const auto& c = g.current_statistics.counters;
    EXPECT_EQ(c[stat_total_destroyed], 1u);
    EXPECT_EQ(c[stat_total_lost], 3u);

    // Out of fuel with no airfield of its faction: it wanders and comes down where it ends.
    Game w;
    start_world(w, 390, 120);
    Unit& stray = add_unit(w, unit_enemy_flier, 100, 50, 2, 0);
    Building& foreign = add_building(w, building_airfield, 120, 50, 3);
    for (std::uint32_t seed = 1; seed <= 10; ++seed) {
        // A target that is no home of its own faction is given up.
        stray.fuel = 300;
        stray.target_building = &foreign;
        w.seed = seed;
        flier_behaviour(w, 1);
        EXPECT_EQ(stray.target_building, nullptr);
    }
    stray.x = 100;
    stray.y = 50;
    stray.fuel = 1;
    unit_update(w);
    ASSERT_EQ(w.units.size(), 1u);
    ASSERT_EQ(w.effects.size(), 1u);
    EXPECT_EQ(w.effects[0]->kind, effect_fire);
    EXPECT_LE(distance(100, 50, w.effects[0]->x, w.effects[0]->y), 1);
    EXPECT_EQ(w.current_statistics.counters[deaths_index(2, unit_enemy_flier)], 1u);
}

}  // namespace
}  // namespace qm
