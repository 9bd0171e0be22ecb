#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "support/world_builders.h"
#include "units/combat.h"
#include "units/ground_behaviour.h"

namespace qm::test {

TEST(GroundBehaviour, EachKindChoosesItsTarget) {
    // Citizens: an own node at 50 beats foreign ones at 5 before and after it; a nearer own
    // one wins; corrupted nodes are nobody's.
    Game g;
    Unit& citizen = put_unit(g, unit_citizen, 3, 100, 50);
    put_building(g, building_corrupted_node, 3, 100, 51);
    put_building(g, building_node, 9, 105, 50);
    Building& own_far = put_building(g, building_node, 3, 150, 50);
    put_building(g, building_node, 9, 95, 50);
    EXPECT_EQ(citizen_node_pick(g, citizen), &own_far);
    Building& own_near = put_building(g, building_node, 3, 100, 90);
    EXPECT_EQ(citizen_node_pick(g, citizen), &own_near);
    // Own at 30 then foreign at 30: either. Foreign at 30 then own at 30: always own.
    Game t;
    Unit& c = put_unit(t, unit_citizen, 3, 100, 50);
    Building& own = put_building(t, building_node, 3, 130, 50);
    Building& foreign = put_building(t, building_node, 4, 70, 50);
    std::set<Building*> picked;
    for (int i = 0; i < 50; ++i) picked.insert(citizen_node_pick(t, c));
    EXPECT_EQ(picked, (std::set<Building*>{&own, &foreign}));
    Game u;
    Unit& d = put_unit(u, unit_citizen, 3, 100, 50);
    put_building(u, building_node, 4, 70, 50);
    Building& own_second = put_building(u, building_node, 3, 130, 50);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(citizen_node_pick(u, d), &own_second);

    for (std::uint32_t seed = 1; seed <= 10; ++seed) {
        // An ooze and a barracks at 3: the tie goes to the building, and a marksman aiming at
        // the building shoots nothing. Fliers are nobody's target on the ground.
        Game f;
        f.seed = spread_seed(seed);
        put_unit(f, unit_player, 0, 100, 70).skill_levels[power_marksmanship] = 100;
        Unit& soldier = put_unit(f, unit_own_soldier, 3, 100, 50);
        Unit& ooze = put_unit(f, unit_ooze, 6, 103, 50);
        Building& barracks = put_building(f, building_barracks, 6, 97, 50);
        put_unit(f, unit_enemy_flier, 6, 101, 50);
        ground_behaviour(f, 1);
        EXPECT_EQ(std::tuple(soldier.target_unit, soldier.target_building, soldier.x <= 100, f.effects.size()),
                  std::tuple(&ooze, &barracks, true, 0u));

        // An enemy soldier with no own unit or tower within 10 follows a leader of its own
        // faction anywhere, not a nearer general of another, and never strikes it; an own
        // unit at exactly 10 is taken once the leader is dropped (one frame in five).
        Game e;
        e.seed = spread_seed(seed);
        put_unit(e, unit_player, 0, 300, 120);
        Unit& follower = put_unit(e, unit_enemy_soldier, 7, 100, 50);
        put_unit(e, unit_citizen, 1, 111, 50);
        put_building(e, building_tower, 1, 89, 50);
        put_unit(e, unit_enemy_general, 5, 99, 49);
        Unit& leader = put_unit(e, unit_enemy_general, 7, 101, 51);
        ground_behaviour(e, 1);
        EXPECT_EQ(std::tuple(follower.target_unit, follower.target_building, leader.hit_points),
                  std::tuple(&leader, nullptr, 20));
        Unit& near = put_unit(e, unit_citizen, 1, 100, 60);
        for (int turn = 0; turn < 100 && follower.target_unit != &near; ++turn) {
            place_unit(e, follower, 100, 50);
            ground_behaviour(e, 1);
        }
        EXPECT_EQ(follower.target_unit, &near);
    }
}

TEST(GroundBehaviour, OozesConvertCitizens) {
    int reconverted = 0;
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        // Diagonally next to it: converted, hit points kept, and the ooze stays put; two
        // cells off, it only closes in.
        Game g;
        g.seed = spread_seed(seed);
        put_unit(g, unit_player, 0, 300, 100);
        Unit& ooze = put_unit(g, unit_ooze, 6, 100, 50);
        Unit& citizen = put_unit(g, unit_citizen, 7, 101, 51, 13);
        ground_behaviour(g, 1);
        EXPECT_EQ(std::tuple(citizen.kind, citizen.faction, citizen.hit_points, ooze.x, ooze.y),
                  std::tuple(unit_ooze, 6, 13, 100, 50));
        change_kind(g, citizen, unit_citizen);
        place_unit(g, citizen, 102, 51);
        ground_behaviour(g, 1);
        EXPECT_EQ(citizen.kind, unit_citizen);
        // A target that has meanwhile become an ooze of another faction is converted again,
        // unless the ooze drops it this frame.
        change_kind(g, citizen, unit_ooze);
        citizen.faction = 9, ooze.target_unit = &citizen;
        place_unit(g, citizen, 101, 51);
        place_unit(g, ooze, 100, 50);
        ground_behaviour(g, 1);
        reconverted += citizen.faction == 6;
        // A node as near as the citizen comes first: the citizen beside it is spared.
        change_kind(g, citizen, unit_citizen);
        place_unit(g, ooze, 100, 50);
        put_building(g, building_node, 2, 99, 49);
        ground_behaviour(g, 1);
        EXPECT_EQ(citizen.kind, unit_citizen);
    }
    EXPECT_GT(reconverted, 10);
}

}  // namespace qm::test
