#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "units/combat.h"
#include "units/ground_behaviour.h"
#include "units/unit_world.h"

namespace qm {
namespace {

using test::add_building;
using test::add_unit;
using test::start_world;

int shots_of(const Game& g, int kind) {
    int n = 0;
    for (const auto& e : g.effects) n += e->kind == kind ? 1 : 0;
    return n;
}

TEST(GroundBehaviour, CitizenPrefersItsOwnFaction) {
    Game g;
    start_world(g);
    Unit& citizen = add_unit(g, unit_citizen, 100, 50, 3);
    EXPECT_EQ(citizen_node_pick(g, citizen), nullptr);
    add_building(g, building_corrupted_node, 100, 51, 3);  // not a node
    EXPECT_EQ(citizen_node_pick(g, citizen), nullptr);

    // An own node at 50 beats a foreign one at 5, listed before it or after it.
    add_building(g, building_node, 105, 50, 9);
    Building& own_far = add_building(g, building_node, 150, 50, 3);
    add_building(g, building_node, 95, 50, 9);
    EXPECT_EQ(citizen_node_pick(g, citizen), &own_far);
    // A nearer own node displaces it.
    Building& own_near = add_building(g, building_node, 100, 90, 3);
    EXPECT_EQ(citizen_node_pick(g, citizen), &own_near);

    // Own at 30 then foreign at 30: even odds. Foreign at 30 then own at 30: always own.
    Game t;
    start_world(t);
    Unit& c2 = add_unit(t, unit_citizen, 100, 50, 3);
    Building& own = add_building(t, building_node, 130, 50, 3);
    Building& foreign = add_building(t, building_node, 70, 50, 4);
    std::set<Building*> picked;
    for (int i = 0; i < 50; ++i) picked.insert(citizen_node_pick(t, c2));
    EXPECT_EQ(picked, (std::set<Building*>{&own, &foreign}));
    std::swap(t.buildings[0], t.buildings[1]);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(citizen_node_pick(t, c2), &own);

    // A citizen keeps only a node as its target, and heads for it.
    citizen.target_building = g.buildings[0].get();  // the corrupted node
    ground_behaviour(g, 1);
    ASSERT_NE(citizen.target_building, nullptr);
    EXPECT_EQ(citizen.target_building->kind, building_node);
}

TEST(GroundBehaviour, CitizenFollowsThePlayerAndDropsOoze) {
    // Once it has caught up it mills about: at 3 or nearer it wanders, beyond it closes in.
    Game g;
    start_world(g, 200, 62);
    Unit& citizen = add_unit(g, unit_citizen, 180, 70, 7);
    bool caught_up = false;
    int widest = 0;
    for (int turn = 0; turn < 400; ++turn) {
        ground_behaviour(g, 1);
        const int d = distance(citizen, *g.units[0]);
        if (caught_up) widest = std::max(widest, d);
        if (d <= 3) caught_up = true;
    }
    EXPECT_TRUE(caught_up);
    EXPECT_EQ(widest, 4);

    // The same around a node of its own, which it keeps, dropping it one frame in five.
    Game n;
    start_world(n, 300, 100);
    Unit& gatherer = add_unit(n, unit_citizen, 100, 50, 7);
    Building& node = add_building(n, building_node, 100, 52, 7);
    Building& far_node = add_building(n, building_node, 150, 52, 7);
    gatherer.target_building = &far_node;
    int kept = 0;
    widest = 0;
    for (int turn = 0; turn < 400; ++turn) {
        ground_behaviour(n, 1);
        kept += gatherer.target_building == &far_node ? 1 : 0;
        if (gatherer.target_building == &node) widest = std::max(widest, distance(gatherer, node));
    }
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, 20);
    EXPECT_EQ(widest, 4);
    ASSERT_FALSE(g.effects.empty());
    for (const auto& e : g.effects) {
        EXPECT_EQ(e->kind, effect_ooze_drop);
        EXPECT_EQ(e->faction, 7);
        EXPECT_GE(e->life, 30);
        EXPECT_LT(e->life, 60);
    }
    // At 1500 effects a drop is still released; above, none.
    while (g.effects.size() < 1500) append_effect(g, fresh_effect());
    for (int turn = 0; turn < 100 && g.effects.size() == 1500; ++turn) ground_behaviour(g, 1);
    EXPECT_EQ(g.effects.size(), 1501u);
    for (int turn = 0; turn < 100; ++turn) {
        // Beside the player it only wanders: the wander step, the drop of its target, and
        // the drop roll, which is drawn even when the list is full.
        citizen.x = 201;
        citizen.y = 62;
        std::uint32_t expected = g.seed;
        for (int k = 0; k < 4; ++k) random_step(expected);
        ground_behaviour(g, 1);
        EXPECT_EQ(g.seed, expected);
    }
    EXPECT_EQ(g.effects.size(), 1501u);
}

TEST(GroundBehaviour, OwnFightersTieGoesToTheBuilding) {
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        Game g;
        start_world(g, 100, 70);
        g.units[0]->skill_levels[power_marksmanship] = 100;  // shoots whenever it aims at a unit
        Unit& soldier = add_unit(g, unit_own_soldier, 100, 50, 3);
        Unit& ooze = add_unit(g, unit_ooze, 103, 50, 6);
        add_building(g, building_barracks, 97, 50, 6);
        add_unit(g, unit_enemy_flier, 101, 50, 6);  // never a ground unit's target
        soldier.ammo = 1;
        g.seed = seed;
        ground_behaviour(g, 1);
        EXPECT_EQ(shots_of(g, effect_friendly_shot), 0);
        EXPECT_LE(soldier.x, 100);
        EXPECT_EQ(ooze.hit_points, 20);
        ASSERT_NE(soldier.target_building, nullptr);
        EXPECT_EQ(soldier.target_unit, &ooze);
    }
    // Strictly nearer wins; a shot and a blow may come in the same frame.
    Game g;
    start_world(g, 100, 70);
    g.units[0]->skill_levels[power_marksmanship] = 100;
    Unit& soldier = add_unit(g, unit_own_soldier, 100, 50, 3);
    Unit& ooze = add_unit(g, unit_ooze, 101, 49, 6);
    add_building(g, building_barracks, 97, 50, 6);
    soldier.ammo = 1;
    g.seed = 3;
    ground_behaviour(g, 1);
    ASSERT_EQ(shots_of(g, effect_friendly_shot), 1);
    const Effect& shot = *g.effects[0];
    EXPECT_EQ(shot.x, 100);
    EXPECT_EQ(shot.vx, 1);
    EXPECT_EQ(shot.vy, -1);
    EXPECT_EQ(shot.life, 20);
    EXPECT_EQ(shot.faction, 3);
    EXPECT_EQ(ooze.hit_points, 19);
    EXPECT_EQ(soldier.x, 100);
    EXPECT_EQ(soldier.y, 50);

    // Without marksmanship no shot, whatever the ammo.
    Game plain;
    start_world(plain, 100, 70);
    add_unit(plain, unit_own_general, 100, 50, 3);
    add_unit(plain, unit_ooze, 104, 50, 6);
    for (int turn = 0; turn < 30; ++turn) ground_behaviour(plain, 1);
    EXPECT_EQ(shots_of(plain, effect_friendly_shot), 0);

    // With nothing in reach it walks back to the player.
    Game idle;
    start_world(idle, 100, 70);
    Unit& loner = add_unit(idle, unit_own_general, 100, 50, 3);
    add_unit(idle, unit_ooze, 111, 50, 6);
    add_unit(idle, unit_own_flier, 110, 50, 3);
    int widest = 0;
    for (int turn = 0; turn < 300; ++turn) {
        ground_behaviour(idle, 1);
        if (turn >= 100) widest = std::max(widest, distance(loner, *idle.units[0]));
    }
    EXPECT_EQ(loner.target_unit, nullptr);
    EXPECT_EQ(widest, 4);  // at 4 or more it closes in
}

TEST(GroundBehaviour, EnemySoldiersFollowLeaders) {
    Game g;
    start_world(g, 300, 120);
    Unit& soldier = add_unit(g, unit_enemy_soldier, 100, 50, 7);
    soldier.links = {7, 7, 7, 7};
    soldier.ammo = 1;
    add_unit(g, unit_citizen, 111, 50, 1);              // 11 away: out of reach
    add_building(g, building_tower, 89, 50, 1);         // 11 away
    add_unit(g, unit_enemy_general, 100, 51, 5);        // a general, but not of its faction
    Unit& leader = add_unit(g, unit_enemy_general, 102, 52, 7);
    add_unit(g, unit_boss, 200, 100, 7);
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        g.seed = seed;
        soldier.x = 100;
        soldier.y = 50;
        soldier.target_unit = nullptr;
        ground_behaviour(g, 1);
        EXPECT_EQ(soldier.target_unit, &leader);
        EXPECT_EQ(soldier.target_building, nullptr);
        // A leader is followed, never shot at or struck.
        EXPECT_EQ(leader.hit_points, 20);
    }
    EXPECT_TRUE(g.effects.empty());

    // An own unit at exactly 10 ties with the start limit and is taken at the next search.
    Unit& citizen = add_unit(g, unit_citizen, 100, 60, 1);
    soldier.x = 100;
    soldier.y = 50;
    soldier.target_unit = &leader;
    bool switched = false;
    for (int turn = 0; turn < 100 && !switched; ++turn) {
        soldier.x = 100;
        soldier.y = 50;
        ground_behaviour(g, 1);
        switched = soldier.target_unit == &citizen;
        if (!switched) {
            EXPECT_EQ(soldier.target_unit, &leader);
        }
    }
    EXPECT_TRUE(switched);
}

TEST(GroundBehaviour, GeneralsSearchTheWholeMapAndFavourTowers) {
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        Game g;
        start_world(g, 103, 50);
        Unit& general = add_unit(g, unit_enemy_general, 100, 50, 7);
        general.links = {7, 7, 7, 7};
        general.ammo = 1;
        Building& tower = add_building(g, building_tower, 97, 50, 1);
        g.seed = seed;
        ground_behaviour(g, 1);
        EXPECT_EQ(general.target_building, &tower);
        EXPECT_EQ(general.target_unit, g.units[0].get());
        EXPECT_TRUE(g.effects.empty());
        EXPECT_LE(general.x, 100);
    }
    Game far;
    start_world(far, 390, 120);
    Unit& boss = add_unit(far, unit_boss, 10, 10, 2);
    ground_behaviour(far, 1);
    EXPECT_EQ(boss.target_unit, far.units[0].get());
}

TEST(GroundBehaviour, OozesConvertCitizens) {
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        Game g;
        start_world(g, 300, 100);
        Unit& ooze = add_unit(g, unit_ooze, 100, 50, 6);
        Unit& citizen = add_unit(g, unit_citizen, 101, 51, 7);
        citizen.hit_points = 13;
        g.seed = seed;
        ground_behaviour(g, 1);
        EXPECT_EQ(citizen.kind, unit_ooze);
        EXPECT_EQ(citizen.faction, 6);
        EXPECT_EQ(citizen.hit_points, 13);
        EXPECT_EQ(ooze.x, 100);
        EXPECT_EQ(ooze.y, 50);
    }

    // A nearer node comes first; a tie goes to the node as well.
    for (const int node_y : {48, 47}) {
        Game n;
        start_world(n, 300, 100);
        Unit& o = add_unit(n, unit_ooze, 100, 50, 6);
        Unit& c = add_unit(n, unit_citizen, 103, 50, 7);
        Building& node = add_building(n, building_node, 100, node_y, 2);
        ground_behaviour(n, 1);
        EXPECT_EQ(c.kind, unit_citizen);
        EXPECT_EQ(o.target_building, &node);
        EXPECT_LE(o.y, 50);
    }

    // A target that has meanwhile become an ooze of another faction is converted again.
    int converted = 0;
    for (std::uint32_t seed = 1; seed <= 30; ++seed) {
        Game a;
        start_world(a, 300, 100);
        Unit& hunter = add_unit(a, unit_ooze, 100, 50, 4);
        Unit& other = add_unit(a, unit_ooze, 101, 50, 6);
        hunter.target_unit = &other;
        a.seed = seed;
        ground_behaviour(a, 1);
        if (other.faction == 4) {
            ++converted;
        } else {
            EXPECT_EQ(hunter.target_unit, nullptr);  // dropped, and no citizen to find
        }
    }
    EXPECT_GT(converted, 15);
}

}  // namespace
}  // namespace qm
