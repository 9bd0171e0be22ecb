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

// The widest distance to (x, y) over many turns of unit 1, once it has come within 3.
int widest_milling(Game& g, const Unit& u, int x, int y, int turns) {
    int widest = -1;
    for (int turn = 0; turn < turns; ++turn) {
        ground_behaviour(g, 1);
        const int d = distance(u.x, u.y, x, y);
        if (widest >= 0 || d <= 3) widest = std::max(widest, d);
    }
    return widest;
}

TEST(GroundBehaviour, CitizensGatherAtTheirOwnNodes) {
    Game g;
    start_world(g);
    Unit& citizen = add_unit(g, unit_citizen, 100, 50, 3);
    add_building(g, building_corrupted_node, 100, 51, 3);
    EXPECT_EQ(citizen_node_pick(g, citizen), nullptr);
    // An own node at 50 beats foreign ones at 5 before and after it; a nearer own one wins.
    add_building(g, building_node, 105, 50, 9);
    Building& own_far = add_building(g, building_node, 150, 50, 3);
    add_building(g, building_node, 95, 50, 9);
    EXPECT_EQ(citizen_node_pick(g, citizen), &own_far);
    Building& own_near = add_building(g, building_node, 100, 90, 3);
    EXPECT_EQ(citizen_node_pick(g, citizen), &own_near);

    // Own at 30 then foreign at 30: either. Foreign at 30 then own at 30: always own.
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

    // It mills within 3 of its node (reaching 4 now and then), and re-chooses one frame in
    // five: a far node it was given is soon given up for the near one.
    Game n;
    start_world(n, 300, 100);
    Unit& gatherer = add_unit(n, unit_citizen, 100, 50, 7);
    Building& node = add_building(n, building_node, 100, 52, 7);
    gatherer.target_building = &add_building(n, building_node, 150, 52, 7);
    for (int turn = 0; turn < 50; ++turn) ground_behaviour(n, 1);
    EXPECT_EQ(gatherer.target_building, &node);
    EXPECT_EQ(widest_milling(n, gatherer, node.x, node.y, 400), 4);
}

TEST(GroundBehaviour, CitizensFollowThePlayerAndDropOoze) {
    Game g;
    start_world(g, 200, 62);
    Unit& citizen = add_unit(g, unit_citizen, 180, 70, 7);
    EXPECT_EQ(widest_milling(g, citizen, 200, 62, 400), 4);
    ASSERT_FALSE(g.effects.empty());
    for (const auto& e : g.effects) {
        EXPECT_EQ(e->kind, effect_ooze_drop);
        EXPECT_EQ(e->faction, 7);
        EXPECT_TRUE(e->life >= 30 && e->life < 60);
    }
    // At 1500 effects a drop is still released; above, none, but the roll is still drawn:
    // beside the player a turn is the wander step, the target drop roll and the drop roll.
    while (g.effects.size() < 1500) append_effect(g, fresh_effect());
    for (int turn = 0; turn < 100 && g.effects.size() == 1500; ++turn) ground_behaviour(g, 1);
    EXPECT_EQ(g.effects.size(), 1501u);
    for (int turn = 0; turn < 100; ++turn) {
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
    // A marksman shoots whenever it aims at a unit; here it never does.
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        Game g;
        start_world(g, 100, 70);
        g.units[0]->skill_levels[power_marksmanship] = 100;
        Unit& soldier = add_unit(g, unit_own_soldier, 100, 50, 3);
        Unit& ooze = add_unit(g, unit_ooze, 103, 50, 6);
        add_building(g, building_barracks, 97, 50, 6);
        add_unit(g, unit_enemy_flier, 101, 50, 6);  // fliers are no ground unit's target
        soldier.ammo = 1;
        g.seed = seed;
        ground_behaviour(g, 1);
        EXPECT_TRUE(g.effects.empty());
        EXPECT_LE(soldier.x, 100);
        EXPECT_EQ(soldier.target_unit, &ooze);
    }
    // A target that has got away beyond 10 is chased but not shot at.
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        Game g;
        start_world(g, 100, 70);
        g.units[0]->skill_levels[power_marksmanship] = 100;
        Unit& soldier = add_unit(g, unit_own_soldier, 100, 50, 3);
        soldier.target_unit = &add_unit(g, unit_ooze, 111, 50, 6);
        soldier.ammo = 1;
        g.seed = seed;
        ground_behaviour(g, 1);
        EXPECT_TRUE(g.effects.empty());
    }
    // Strictly nearer wins; shot and blow in the same frame, and no move.
    Game g;
    start_world(g, 100, 70);
    g.units[0]->skill_levels[power_marksmanship] = 100;
    Unit& soldier = add_unit(g, unit_own_soldier, 100, 50, 3);
    Unit& ooze = add_unit(g, unit_ooze, 101, 49, 6);
    add_building(g, building_barracks, 97, 50, 6);
    soldier.ammo = 1;
    ground_behaviour(g, 1);
    ASSERT_EQ(g.effects.size(), 1u);
    const Effect& shot = *g.effects[0];
    EXPECT_EQ(shot.kind, effect_friendly_shot);
    EXPECT_EQ(shot.vx, 1);
    EXPECT_EQ(shot.vy, -1);
    EXPECT_EQ(shot.life, 20);
    EXPECT_EQ(shot.faction, 3);
    EXPECT_EQ(ooze.hit_points, 19);
    EXPECT_EQ(soldier.x, 100);
    EXPECT_EQ(soldier.y, 50);

    // Two cells off there is no blow, only the step.
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        Game f;
        start_world(f, 100, 70);
        add_unit(f, unit_own_soldier, 100, 50, 3);
        const Unit& foe = add_unit(f, unit_ooze, 102, 50, 6);
        f.seed = seed;
        ground_behaviour(f, 1);
        EXPECT_EQ(foe.hit_points, 20);
    }

    // Without marksmanship no shot whatever its ammo; with nobody in reach it keeps to
    // within 4 of the player unit.
    Game idle;
    start_world(idle, 100, 70);
    Unit& general = add_unit(idle, unit_own_general, 100, 50, 3);
    add_unit(idle, unit_ooze, 104, 50, 6);
    for (int turn = 0; turn < 30; ++turn) ground_behaviour(idle, 1);
    EXPECT_TRUE(idle.effects.empty());
    idle.units[2]->x = 300;
    widest_milling(idle, general, 100, 70, 100);
    EXPECT_EQ(widest_milling(idle, general, 100, 70, 300), 4);
    EXPECT_EQ(general.target_unit, nullptr);
}

TEST(GroundBehaviour, HostileFightersLeadersAndTowers) {
    Game g;
    start_world(g, 300, 120);
    Unit& soldier = add_unit(g, unit_enemy_soldier, 100, 50, 7);
    soldier.links = {7, 7, 7, 7};  // marksmanship 7
    soldier.ammo = 1;
    add_unit(g, unit_citizen, 111, 50, 1);        // 11 away: out of reach
    add_building(g, building_tower, 89, 50, 1);   // 11 away
    add_unit(g, unit_enemy_general, 99, 49, 5);  // a general of another faction
    Unit& leader = add_unit(g, unit_enemy_general, 101, 51, 7);
    add_unit(g, unit_boss, 200, 100, 7);
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        g.seed = seed;
        soldier.x = 100;
        soldier.y = 50;
        soldier.target_unit = nullptr;
        ground_behaviour(g, 1);
        EXPECT_EQ(soldier.target_unit, &leader);
        EXPECT_EQ(soldier.target_building, nullptr);
        EXPECT_EQ(leader.hit_points, 20);  // followed, never struck or shot
    }
    EXPECT_TRUE(g.effects.empty());
    // An own unit at exactly 10 is taken once the leader is dropped (one frame in five).
    Unit& citizen = add_unit(g, unit_citizen, 100, 60, 1);
    int turns = 0;
    for (; turns < 100 && soldier.target_unit != &citizen; ++turns) {
        EXPECT_EQ(soldier.target_unit, &leader);
        soldier.x = 100;
        soldier.y = 50;
        ground_behaviour(g, 1);
    }
    EXPECT_EQ(soldier.target_unit, &citizen);

    // Generals look across the whole map; a tie between a tower and a unit goes to the tower.
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        Game t;
        start_world(t, 115, 50);
        Unit& general = add_unit(t, unit_enemy_general, 100, 50, 7);
        general.links = {7, 7, 7, 7};
        general.ammo = 1;
        Building& tower = add_building(t, building_tower, 85, 50, 1);
        t.seed = seed;
        ground_behaviour(t, 1);
        EXPECT_EQ(general.target_building, &tower);
        EXPECT_EQ(general.target_unit, t.units[0].get());
        EXPECT_TRUE(t.effects.empty());
        EXPECT_LE(general.x, 100);
    }
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
        EXPECT_EQ(ooze.x, 100);  // converting is its whole turn
        EXPECT_EQ(ooze.y, 50);
        // Two cells off, it only closes in.
        Game f;
        start_world(f, 300, 100);
        add_unit(f, unit_ooze, 100, 50, 6);
        const Unit& farther = add_unit(f, unit_citizen, 102, 51, 7);
        f.seed = seed;
        ground_behaviour(f, 1);
        EXPECT_EQ(farther.kind, unit_citizen);
    }
    // A nearer node comes first, and so does one at the same distance.
    for (const int node_y : {48, 47}) {
        Game n;
        start_world(n, 300, 100);
        Unit& o = add_unit(n, unit_ooze, 100, 50, 6);
        Unit& c = add_unit(n, unit_citizen, 103, 50, 7);
        Building& node = add_building(n, building_node, 100, node_y, 2);
        ground_behaviour(n, 1);
        EXPECT_EQ(c.kind, unit_citizen);
        EXPECT_EQ(o.target_building, &node);
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
        if (other.faction == 4) ++converted;
        else EXPECT_EQ(hunter.target_unit, nullptr);  // dropped, and no citizen to find
    }
    EXPECT_GT(converted, 15);
}

}  // namespace
}  // namespace qm
