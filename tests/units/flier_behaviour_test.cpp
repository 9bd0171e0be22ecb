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

// Runs flier 1's behaviour from (x, y) again and again.
void turns_from(Game& g, int x, int y, int turns) {
    for (int turn = 0; turn < turns; ++turn) {
        g.units[1]->x = x;
        g.units[1]->y = y;
        flier_behaviour(g, 1);
    }
}

TEST(FlierBehaviour, FuelRefuellingAndRearming) {
    // 600 acting frames on a mission with nothing to bomb, then home at fuel 399.
    Game g;
    start_world(g, 390, 120);
    Unit& flier = add_unit(g, unit_own_flier, 200, 60, 3);
    Building& home = add_building(g, building_node, 240, 80, 3);
    add_building(g, building_node, 201, 60, 4);  // another faction's node is no home
    for (int turn = 0; turn < 600; ++turn) {
        flier_behaviour(g, 1);
        ASSERT_EQ(flier.target_building, nullptr);
    }
    EXPECT_EQ(flier.fuel, 400);
    flier_behaviour(g, 1);
    EXPECT_EQ(flier.target_building, &home);
    // It fills up on the home cell; with bombs left it is on a mission at the next frame.
    for (int turn = 0; turn < 390 && flier.fuel != 1000; ++turn) flier_behaviour(g, 1);
    ASSERT_EQ(flier.fuel, 1000);
    flier_behaviour(g, 1);
    EXPECT_EQ(flier.target_building, nullptr);  // the node is no mission target

    // Without bombs it stays on the home cell, full, its target unit left alone, until
    // random(200) rearms it and clears both targets.
    Game r;
    start_world(r, 390, 120);
    Unit& bomber = add_unit(r, unit_enemy_flier, 150, 60, 5);
    add_building(r, building_airfield, 150, 60, 5);
    Unit& citizen = add_unit(r, unit_citizen, 160, 60, 1);
    bomber.ammo = 0;
    bomber.target_unit = &citizen;
    for (int turn = 0; turn < 20000 && bomber.ammo == 0; ++turn) {
        EXPECT_EQ(bomber.target_unit, &citizen);
        turns_from(r, 150, 60, 1);
        EXPECT_EQ(bomber.fuel, 1000);
    }
    EXPECT_EQ(bomber.ammo, 10);
    EXPECT_EQ(bomber.target_unit, nullptr);
    EXPECT_EQ(bomber.target_building, nullptr);
    EXPECT_TRUE(r.effects.empty());

    // Off the home cell nothing is filled and random(200) is not drawn: the wander step,
    // the one-in-five drop and the step toward home (one coin east, one drift roll that
    // stays off) are the whole turn.
    Game h;
    start_world(h, 390, 120);
    Unit& homing = add_unit(h, unit_enemy_flier, 150, 60, 5);
    homing.target_building = &add_building(h, building_airfield, 152, 60, 5);
    homing.ammo = 0;
    homing.fuel = 500;
    h.seed = test::seed_where({{2, 5, [](int v) { return v != 0; }}, {4, 3, [](int v) { return v != 0; }}});
    std::uint32_t expected = h.seed;
    for (int k = 0; k < 5; ++k) random_step(expected);
    flier_behaviour(h, 1);
    EXPECT_EQ(h.seed, expected);
    EXPECT_EQ(homing.fuel, 499);
    EXPECT_EQ(homing.ammo, 0);
}

TEST(FlierBehaviour, MissionTargetsAndBombs) {
    // The enemy flier goes for own units (own fliers too) and towers; a tie goes to the
    // tower; at most one bomb a frame, aimed from where the flier was.
    Game g;
    start_world(g, 390, 120);
    Unit& flier = add_unit(g, unit_enemy_flier, 100, 50, 5);
    add_unit(g, unit_enemy_flier, 101, 50, 5);
    add_unit(g, unit_ooze, 100, 51, 5);
    Unit& own_flier = add_unit(g, unit_own_flier, 104, 50, 2);
    Building& tower = add_building(g, building_tower, 96, 50, 2);
    add_building(g, building_barracks, 100, 49, 5);
    // A far target unit is dropped one frame in five and the nearest taken instead.
    flier.target_unit = g.units[0].get();
    for (int turn = 0; turn < 100 && flier.target_unit != &own_flier; ++turn) turns_from(g, 100, 50, 1);
    int bombs = 0;
    for (int turn = 0; turn < 200; ++turn) {
        const std::size_t before = g.effects.size();
        flier.ammo = 10;
        turns_from(g, 100, 50, 1);
        ASSERT_EQ(flier.target_unit, &own_flier);
        ASSERT_EQ(flier.target_building, &tower);
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
        EXPECT_EQ(flier.ammo, 9);
    }
    EXPECT_TRUE(bombs > 20 && bombs < 90);

    // The own flier drops friendly shots on barracks and airfields, and only within range.
    Game o;
    start_world(o, 390, 120);
    Unit& bomber = add_unit(o, unit_own_flier, 100, 50, 3);
    Building& barracks = add_building(o, building_barracks, 103, 52, 6);
    add_building(o, building_tower, 100, 51, 6);
    bomber.ammo = 1000;
    turns_from(o, 100, 50, 30);
    EXPECT_EQ(bomber.target_building, &barracks);
    ASSERT_FALSE(o.effects.empty());
    for (const auto& e : o.effects) {
        EXPECT_EQ(e->kind, effect_friendly_shot);
        EXPECT_EQ(e->vx, 3);
        EXPECT_EQ(e->vy, 2);
    }
    o.effects.clear();
    barracks.y = 61;
    turns_from(o, 100, 50, 40);
    EXPECT_TRUE(o.effects.empty());
}

TEST(FlierBehaviour, CrashInFlames) {
    Game g;
    start_world(g, 150, 60);
    Unit& player = *g.units[0];
    player.max_hit_points = 30;
    add_unit(g, unit_enemy_flier, 150, 60, 4);
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
    // Nodes, corrupted nodes and keys survive; the razing is nobody's credit.
    ASSERT_EQ(g.buildings.size(), 4u);
    EXPECT_EQ(g.buildings[0]->kind, building_node);
    EXPECT_EQ(g.buildings[1]->kind, building_corrupted_node);
    EXPECT_EQ(g.buildings[2]->kind, building_key);
    EXPECT_EQ(g.buildings[3].get(), &spared_tower);
    EXPECT_EQ(hunter.target_building, nullptr);
    EXPECT_EQ(g.current_statistics.counters[stat_total_razed], 0u);
    EXPECT_EQ(player.hit_points, 0);
    EXPECT_EQ(beside.hit_points, 20);
    // The sweep of the unit update takes the dead and brings the player back.
    unit_update(g);
    ASSERT_EQ(g.units.size(), 3u);
    EXPECT_EQ(g.units[1].get(), &beside);
    EXPECT_EQ(player.x, 200);
    EXPECT_EQ(player.y, 62);
    EXPECT_EQ(player.hit_points, 30);
    EXPECT_EQ(g.current_statistics.counters[stat_total_destroyed], 1u);
    EXPECT_EQ(g.current_statistics.counters[stat_total_lost], 3u);

    // With no airfield of its faction it gives up a foreign one, wanders, and comes down
    // where its last move took it.
    Game w;
    start_world(w, 390, 120);
    Unit& stray = add_unit(w, unit_enemy_flier, 100, 50, 2, 0);
    Building& foreign = add_building(w, building_airfield, 120, 50, 3);
    for (std::uint32_t seed = 1; seed <= 10; ++seed) {
        stray.fuel = 300;
        stray.target_building = &foreign;
        w.seed = seed;
        turns_from(w, 100, 50, 1);
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
