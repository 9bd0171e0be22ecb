#include <gtest/gtest.h>

#include "buildings/clouds.h"
#include "world/lists.h"

namespace qm {
namespace {

Unit& add_unit(Game& g, int kind, int x, int y, int hit_points = 5) {
    Unit u = fresh_unit(g);
    u.kind = kind;
    u.faction = 3;
    u.x = x;
    u.y = y;
    u.hit_points = u.max_hit_points = hit_points;
    return append_unit(g, u);
}

TEST(Clouds, HarmOnlyTheOtherSidesGroundUnitsOnTheCell) {
    Game g;
    g.seed = 7;
    Unit& player = add_unit(g, unit_player, 10, 10);
    Unit& citizen = add_unit(g, unit_citizen, 10, 10);
    Unit& flier = add_unit(g, unit_own_flier, 10, 10);
    Unit& ooze = add_unit(g, unit_ooze, 10, 10);
    Unit& beside = add_unit(g, unit_citizen, 11, 10);

    release_poison_cloud(g, 10, 10, 1, 100);
    ASSERT_EQ(g.effects.size(), 1u);
    EXPECT_EQ(g.effects[0]->kind, effect_poison_cloud);
    EXPECT_EQ(g.effects[0]->faction, 1);
    EXPECT_EQ(g.effects[0]->life, 100);
    EXPECT_EQ(player.poison, 3);
    EXPECT_EQ(citizen.poison, 3);
    EXPECT_EQ(flier.poison, 0);
    EXPECT_EQ(ooze.poison, 0);
    EXPECT_EQ(beside.poison, 0);

    // The same kind and side on the same cell: nothing at all, not even a draw.
    const std::uint32_t seed = g.seed;
    release_poison_cloud(g, 10, 10, 1, 50);
    EXPECT_EQ(g.effects.size(), 1u);
    EXPECT_EQ(citizen.poison, 3);
    EXPECT_EQ(g.seed, seed);

    // The other side's cloud, or acid, is a different cloud.
    release_poison_cloud(g, 10, 10, 0, 100);
    EXPECT_EQ(g.effects.size(), 2u);
    EXPECT_EQ(ooze.poison, 3);
    EXPECT_EQ(citizen.poison, 3);

    // Acid burns for 1 of type 13; an ooze of faction 3 has no resistance to it.
    release_acid_cloud(g, 10, 10, 0, 100);
    EXPECT_EQ(g.effects.size(), 3u);
    EXPECT_EQ(ooze.hit_points, 4);
    EXPECT_EQ(citizen.hit_points, 5);

    // Off the map is allowed: nobody stands there.
    release_acid_cloud(g, -3, 200, 1, 100);
    EXPECT_EQ(g.effects.size(), 4u);
}

}  // namespace
}  // namespace qm
