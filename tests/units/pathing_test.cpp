#include <gtest/gtest.h>

#include <set>

#include "units/pathing.h"
#include "units/unit_world.h"

namespace qm {
namespace {

using test::add_building;
using test::add_unit;

TEST(Pathing, NearestPickLimitFilterAndTies) {
    Game g;
    g.seed = 5;
    Unit& seeker = add_unit(g, unit_own_soldier, 100, 50);
    add_building(g, building_barracks, 112, 50);       // beyond the limit of 10
    Building& at_limit = add_building(g, building_airfield, 90, 60);
    add_building(g, building_node, 101, 50);           // filtered out

    const PickFilter hostile{kind_set({building_barracks, building_airfield})};
    // A candidate at exactly the start limit is a tie with the limit, and is taken.
    EXPECT_EQ(nearest_building(g, seeker, 10, hostile), &at_limit);
    EXPECT_EQ(nearest_building(g, seeker, 9, hostile), nullptr);

    // Nothing qualifies: no draw at all.
    const std::uint32_t before = g.seed;
    EXPECT_EQ(nearest_unit(g, seeker, 10, PickFilter{kind_set({unit_boss})}), nullptr);
    EXPECT_EQ(g.seed, before);

    // A nearer candidate empties the tie list; later ones at the same distance join it.
    Building& near_a = add_building(g, building_barracks, 104, 46);
    add_building(g, building_airfield, 95, 50);  // distance 5: farther than the ties held
    Building& near_b = add_building(g, building_airfield, 96, 53);
    Building& near_c = add_building(g, building_barracks, 100, 46);
    std::set<Building*> seen;
    for (int i = 0; i < 200; ++i) seen.insert(nearest_building(g, seeker, 10, hostile));
    EXPECT_EQ(seen, (std::set<Building*>{&near_a, &near_b, &near_c}));

    // The draw is one random(size of the tie list), made even for a single tie.
    const std::uint32_t seed = g.seed;
    std::uint32_t expected = seed;
    const int pick = random_below(expected, 3);
    Building* const order[] = {&near_a, &near_b, &near_c};
    EXPECT_EQ(nearest_building(g, seeker, 10, hostile), order[pick]);
    EXPECT_EQ(g.seed, expected);
    nearest_building(g, seeker, 10, PickFilter{kind_set({building_node})});
    random_step(expected);
    EXPECT_EQ(g.seed, expected);

    // A faction filter.
    Unit& general = add_unit(g, unit_enemy_general, 150, 90, 4);
    add_unit(g, unit_enemy_general, 101, 51, 5);
    EXPECT_EQ(nearest_unit(g, seeker, 1050, PickFilter{kind_set({unit_enemy_general}), 4}), &general);
}

TEST(Pathing, StepTowardDrawsOnlyWhatItsAxesNeed) {
    Game g;
    Unit& u = add_unit(g, unit_citizen, 100, 50);
    for (std::uint32_t seed = 1; seed < 60; ++seed) {
        // North-east of the unit: one coin per axis, nothing else.
        g.seed = seed;
        std::uint32_t expected = seed;
        const int cx = random_below(expected, 2);
        const int cy = random_below(expected, 2);
        const Step ne = step_toward(g, u, 130, 20);
        EXPECT_EQ(ne.dx, cx != 0 ? 1 : 0);
        EXPECT_EQ(ne.dy, cy != 0 ? -1 : 0);
        EXPECT_EQ(g.seed, expected);

        // Straight west: dx closes, dy drifts now and then.
        g.seed = seed;
        expected = seed;
        const int wx = random_below(expected, 2);
        const int drift = random_below(expected, 3);
        int dy = 0;
        if (drift == 0) dy = random_below(expected, 3) - 1;
        const Step w = step_toward(g, u, 60, 50);
        EXPECT_EQ(w.dx, wx != 0 ? -1 : 0);
        EXPECT_EQ(w.dy, dy);
        EXPECT_EQ(g.seed, expected);

        // Straight south: the dy coin is drawn before the dx drift.
        g.seed = seed;
        expected = seed;
        const int sy = random_below(expected, 2);
        int dx = 0;
        if (random_below(expected, 3) == 0) dx = random_below(expected, 3) - 1;
        const Step s = step_toward(g, u, 100, 90);
        EXPECT_EQ(s.dx, dx);
        EXPECT_EQ(s.dy, sy != 0 ? 1 : 0);
        EXPECT_EQ(g.seed, expected);
    }
    // On the target itself both axes may drift, and nothing else.
    std::set<std::pair<int, int>> drifts;
    for (std::uint32_t seed = 1; seed < 400; ++seed) {
        g.seed = seed;
        const Step s = step_toward(g, u, 100, 50);
        drifts.insert({s.dx, s.dy});
    }
    EXPECT_EQ(drifts.size(), 9u);
}

}  // namespace
}  // namespace qm
