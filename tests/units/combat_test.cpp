#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "support/world_builders.h"
#include "units/combat.h"

namespace qm::test {

TEST(Combat, StatsDamageAndAnAttack) {
    Game g;
    put_unit(g, unit_player, 3, 0, 0).skill_levels[9] = 2;
    using Links = std::array<std::int32_t, 4>;
    const Links mixed{3, -1, 3, 7}, none{-1, -1, -1, -1};
    // Kind, faction, links, power: stat. Only fighters have powers; an enemy never has the
    // player's skills; generals count twice, bosses three times.
    const std::tuple<int, int, Links, int, int> cases[] = {
        {unit_citizen, 3, mixed, 3, 0}, {unit_own_flier, 3, mixed, 3, 0}, {unit_boss, 6, {6, 6, -1, -1}, 6, 15},
        {unit_enemy_soldier, 3, mixed, 3, 5}, {unit_enemy_soldier, 3, mixed, 7, 1}, {unit_enemy_soldier, 1, none, 9, 0},
        {unit_enemy_general, 3, mixed, 3, 10}, {unit_enemy_general, 3, mixed, 7, 2}, {unit_own_soldier, 1, none, 9, 2},
        {unit_own_general, 1, none, 9, 4},
    };
    Unit u(unit_citizen);
    for (const auto& [kind, faction, links, k, expected] : cases) {
        u.kind = kind, u.faction = faction, u.links = links;
        EXPECT_EQ(stat(g, u, k), expected) << kind << " " << k;
    }
    u.kind = unit_boss, u.faction = 6, u.links = {6, 6, -1, -1}, u.flags = unit_megaboss, u.hit_points = 10;
    finish(g, u);
    EXPECT_EQ(std::tuple(stat(g, u, 6), u.max_hit_points, u.ammo), std::tuple(25, 510, 10));

    // The player unit hit for 8 by faction 5 with two links of 5 and affinity 5; a building of
    // faction 4 with two links of 4 hit for 4 by type 4.
    std::set<int> player_lost, building_lost;
    for (std::uint32_t seed = 1; seed <= 300; ++seed) {
        g.seed = spread_seed(seed);
        Unit p(unit_player);
        p.hit_points = 100, p.affinity = 5, p.links = {5, -1, 5, -1};
        damage(g, p, 8, 5);
        Building b;
        b.faction = 4, b.links = {4, 4, -1, -1};
        damage_building(g, b, 4, 4);
        player_lost.insert(100 - p.hit_points), building_lost.insert(10 - b.hit_points);
    }
    EXPECT_EQ(std::tuple(player_lost, building_lost), std::tuple(std::set<int>{0, 2, 4, 8}, std::set<int>{0, 1, 2, 4}));

    // Own generals take the player's skills twice over: 50 makes drain, poison, crush and
    // thorns certain, 25 makes shock certain. Drained up to the maximum, then thorns and shock
    // from a defender the general's blow of 5 has just brought to 0.
    for (int k : {power_drain, power_poison, power_crush, power_thorns}) g.units[0]->skill_levels[k] = 50;
    g.units[0]->skill_levels[power_shock] = 25;
    Unit a(unit_own_general), d(unit_own_general);
    a.hit_points = 10, a.max_hit_points = 11, d.hit_points = 5, d.slow = 3;
    attack(g, a, d);
    EXPECT_EQ(std::tuple(a.hit_points, d.poison, d.slow, d.hit_points), std::tuple(11 - 2 - 1, 3, 10, 0));
}

}  // namespace qm::test
