#include <gtest/gtest.h>

#include "units/combat.h"
#include "world/lists.h"

namespace qm {
namespace {

Unit fighter(int kind, int faction, std::array<std::int32_t, 4> links = {-1, -1, -1, -1}) {
    Unit u;
    u.kind = kind;
    u.faction = faction;
    u.links = links;
    return u;
}

TEST(Combat, StatsByKindFactionLinksAndSkills) {
    Game g;
    Unit player;
    player.kind = unit_player;
    player.faction = 3;
    player.skill_levels[9] = 2;
    append_unit(g, player);

    for (int kind : {unit_player, unit_ooze, unit_citizen, unit_enemy_flier, unit_own_flier}) {
        const Unit u = fighter(kind, 3, {3, 3, 3, 3});
        for (int k = 0; k < 16; ++k) EXPECT_EQ(stat(g, u, k), 0) << kind;
    }
    const Unit soldier = fighter(unit_enemy_soldier, 3, {3, -1, 3, 7});
    EXPECT_EQ(stat(g, soldier, 3), 5);
    EXPECT_EQ(stat(g, soldier, 7), 1);
    EXPECT_EQ(stat(g, soldier, 9), 0);  // an enemy never has the player's skills
    const Unit general = fighter(unit_enemy_general, 3, {3, -1, 3, 7});
    EXPECT_EQ(stat(g, general, 3), 10);
    EXPECT_EQ(stat(g, general, 7), 2);

    EXPECT_EQ(stat(g, fighter(unit_own_soldier, 1), 9), 2);
    EXPECT_EQ(stat(g, fighter(unit_own_general, 1), 9), 4);

    Unit boss = fighter(unit_boss, 6, {6, 6, -1, -1});
    EXPECT_EQ(stat(g, boss, 6), 15);
    boss.flags = unit_megaboss;
    EXPECT_EQ(stat(g, boss, 6), 25);
    boss.hit_points = 10;
    finish(g, boss);
    EXPECT_EQ(boss.hit_points, 510);
    EXPECT_EQ(boss.max_hit_points, 510);
    EXPECT_EQ(boss.ammo, 10);  // no marksmanship: keeps the fresh value

    Unit shooter = fighter(unit_enemy_soldier, 7);
    shooter.hit_points = 4;
    finish(g, shooter);
    EXPECT_EQ(shooter.ammo, 1);
    EXPECT_EQ(shooter.hit_points, 4);
}

TEST(Combat, PlayerResistanceHalvesOrShrugsOff) {
    // Hit for 8 by faction 5 with two links of 5: 8, 4, 2 or nothing when affinity is 5 too.
    std::array<int, 9> seen{};
    for (std::uint32_t seed = 0; seed < 400; ++seed) {
        Game g;
        g.seed = seed;
        Unit p;
        p.kind = unit_player;
        p.hit_points = 100;
        p.affinity = 5;
        p.links = {5, -1, 5, -1};
        damage(g, p, 8, 5);
        const int lost = 100 - p.hit_points;
        ASSERT_TRUE(lost == 0 || lost == 2 || lost == 4 || lost == 8) << lost;
        ++seen[lost];
    }
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[2], 0);
    EXPECT_GT(seen[4], 0);
    EXPECT_GT(seen[8], 0);
}

TEST(Combat, AttackDrawsInOrderAndAnswersEvenAFeebleBlow) {
    // The attacker has no powers, the defender is an ooze of the blow's type with thorns 0:
    // the draws are drain, poison, crush, the ooze coin, dodge, thorns, shock.
    Game g;
    g.seed = 77;
    Unit a = fighter(unit_enemy_soldier, 2);
    a.hit_points = a.max_hit_points = 5;
    Unit d = fighter(unit_ooze, 2);
    d.hit_points = 3;
    std::uint32_t s = 77;
    random_below(s, 100);  // drain
    const int poison = random_below(s, 100);
    random_below(s, 100);  // crush
    const int coin = random_below(s, 2);
    attack(g, a, d);
    EXPECT_EQ(d.poison, poison < 3 ? 3 : 0);  // faction 2 is poison, stat 3
    if (coin != 0) {
        EXPECT_EQ(d.hit_points, 3);  // oozes shrug off their own faction half the time
    } else {
        EXPECT_EQ(d.hit_points, 2);
    }

    // A barricade-like building halves by links; its own faction shrugs off on the coin.
    Building b;
    b.faction = 1;
    b.links = {4, 4, -1, -1};
    b.hit_points = 30;
    int total = 0;
    for (int i = 0; i < 200; ++i) {
        const int before = b.hit_points;
        damage_building(g, b, 4, 4);
        const int lost = before - b.hit_points;
        ASSERT_TRUE(lost == 4 || lost == 2 || lost == 1);
        total += lost;
        b.hit_points = 30;
    }
    EXPECT_LT(total, 800);
}

TEST(Combat, EveryStepOfAnAttackWithCertainPowers) {
    // Own generals take the player's skills twice over: 50 makes a power certain (100 %), 25
    // makes shock certain (50 out of 50). Nobody dodges, so every step shows.
    Game g;
    g.seed = 4242;
    Unit player;
    player.kind = unit_player;
    for (int k : {power_drain, power_poison, power_crush, power_thorns}) player.skill_levels[k] = 50;
    player.skill_levels[power_shock] = 25;
    append_unit(g, player);

    Unit a = fighter(unit_own_general, 1);
    a.hit_points = 10;
    a.max_hit_points = 11;
    Unit d = fighter(unit_own_general, 1);
    d.hit_points = 5;
    d.slow = 3;

    // drain, its amount, poison, crush, the defender's dodge, thorns, the attacker's dodge,
    // shock, the attacker's dodge.
    std::uint32_t s = g.seed;
    random_below(s, 100);
    random_below(s, 3);
    for (int draw = 0; draw < 4; ++draw) random_below(s, 100);
    random_below(s, 100);
    random_below(s, 50);
    random_below(s, 100);
    attack(g, a, d);
    EXPECT_EQ(g.seed, s) << "one draw per step, in order";
    EXPECT_EQ(a.hit_points, 11 - 2 - 1) << "drained up to the maximum, then thorns and shock";
    EXPECT_EQ(d.poison, 3);
    EXPECT_EQ(d.slow, 10);
    EXPECT_EQ(d.hit_points, 0) << "a general's blow is 5";

    // A defender already at 0 still answers; crush never lowers a longer slow.
    d.slow = 14;
    a.hit_points = 20;
    a.max_hit_points = 30;
    attack(g, a, d);
    EXPECT_EQ(d.slow, 14);
    EXPECT_EQ(d.poison, 6);
    EXPECT_EQ(d.hit_points, -5);
    EXPECT_GE(a.hit_points, 20 + 1 - 3);
    EXPECT_LE(a.hit_points, 20 + 3 - 3);
    EXPECT_EQ(blow_strength(unit_boss), 15);
    EXPECT_EQ(blow_strength(unit_enemy_general), 5);
    EXPECT_EQ(blow_strength(unit_enemy_soldier), 1);
}

}  // namespace
}  // namespace qm
