#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <tuple>
#include <vector>

#include "support/world_builders.h"
#include "records/statistics.h"
#include "units/combat.h"
#include "units/unit_update.h"

namespace qm::test {

TEST(UnitUpdate, ActingSchedule) {
    // Each link naming faction 11 is a point of speed, doubled for generals; own fighters add
    // the player's skill.
    Game g;
    put_unit(g, unit_player, 0, 200, 62).skill_levels[power_speed] = 23;
    const std::tuple<int, int, int, int, int> cases[] = {
        // kind, links naming speed, slow, haste: period
        {unit_ooze, 4, 0, 0, 100},          {unit_enemy_soldier, 3, 0, 0, 22}, {unit_own_soldier, 4, 0, 0, 5},
        {unit_enemy_flier, 4, 1, 0, 10},    {unit_enemy_general, 2, 10, 0, 92}, {unit_enemy_general, 2, 10, 3, 46},
        {unit_enemy_general, 2, 0, 3, 5},
    };
    for (const auto& [kind, links, slow, haste, period] : cases) {
        Unit u(kind);
        u.slow = slow, u.haste = haste;
        std::fill_n(u.links.begin(), links, 11);
        EXPECT_EQ(acting_period(g, u), period) << kind << " slow " << slow << " haste " << haste;
    }
    // A swift ooze acts every 15 frames, with one short gap where frame_counter wraps.
    Unit& ooze = put_unit(g, unit_ooze, 0, 100, 50, 20, 7);
    ooze.flags |= unit_swift;
    std::map<int, int> gaps;
    for (int t = 9900, last = -1; t < 10200; ++t) {
        g.frame_counter = t % 10000;
        if (!acts_this_frame(g, ooze)) continue;
        if (last >= 0) ++gaps[t - last];
        last = t;
    }
    EXPECT_EQ(gaps, (std::map<int, int>{{10, 1}, {15, 18}}));
}

TEST(UnitUpdate, TheDeathSweep) {
    // Several deaths in one frame; the survivors keep their order. The walk runs from the
    // last unit down and never reaches the player unit: the dead ooze still acts and converts
    // the citizen listed before it, which is then visited as an ooze and goes for the other.
    Game g;
    Unit& player = put_unit(g, unit_player, 0, 150, 60, 40, 0);
    player.hit_points = 0, player.skill_levels[3] = 2, player.haste = 3, g.view_x = g.view_y = 0;
    put_unit(g, unit_citizen, 2, 20, 20, 0);
    Unit* survivor = &put_unit(g, unit_own_soldier, 3, 30, 30);
    Unit* prey = &put_unit(g, unit_citizen, 7, 51, 51, 20, 0);
    Unit* other = &put_unit(g, unit_citizen, 7, 70, 70);
    survivor->target_unit = &put_unit(g, unit_ooze, 6, 50, 50, -3, 0);
    unit_update(g);
    ASSERT_EQ(g.units.size(), 4u);
    EXPECT_EQ(std::tuple(g.units[1].get(), g.units[2].get(), g.units[3].get()), std::tuple(survivor, prey, other));
    EXPECT_EQ(std::tuple(prey->kind, prey->faction, prey->target_unit, survivor->target_unit),
              std::tuple(unit_ooze, 6, other, nullptr));
    // The player unit is back home with its hit points and levels, and the view follows it.
    EXPECT_EQ(std::tuple(player.x, player.y, player.hit_points, player.skill_levels[3], player.haste),
              std::tuple(200, 62, 40, 2, 3));
    EXPECT_TRUE(g.view_x <= 200 && 200 < g.view_x + 80 && g.view_y <= 62 && 62 < g.view_y + 25);
    const auto& c = g.current_statistics.counters;
    EXPECT_EQ(std::tuple(c[stat_total_lost], c[stat_total_destroyed]), std::tuple(2u, 1u));
    EXPECT_EQ(std::tuple(c[deaths_index(2, unit_citizen)], c[deaths_index(6, unit_ooze)]), std::tuple(1u, 1u));

    // A kind or faction outside the tables counts in the totals only, never in some other
    // unit's row (kind 10 of faction 3 would be the player unit of faction 4).
    Game h;
    put_unit(h, unit_player, 0, 150, 60);
    put_unit(h, 10, 3, 20, 20, 0), put_unit(h, unit_enemy_soldier, 40, 30, 30, 0);
    put_unit(h, unit_ooze, -1, 40, 40, 0);
    unit_update(h);
    const auto& hc = h.current_statistics.counters;
    EXPECT_EQ(std::tuple(h.units.size(), hc[stat_total_lost], hc[stat_total_destroyed]), std::tuple(1u, 1u, 2u));
    EXPECT_EQ(std::count_if(hc.begin(), hc.end(), [](std::uint32_t v) { return v != 0; }), 2);
}

TEST(Combat, AFinishedUnitsHitPointsAndShot) {
    // Toughness adds to the hit points, twenty times over for a megaboss, and the sum is the
    // maximum; a marksman comes with one shot loaded, anyone else with what it had. A boss
    // counts its powers three times over, a megaboss five times.
    Game g;
    put_unit(g, unit_player, 0, 0, 0);
    Unit boss(unit_boss), marksman(unit_enemy_soldier), tough(unit_enemy_soldier);
    boss.faction = power_toughness, boss.links = {power_toughness, power_toughness, -1, -1};
    boss.flags = unit_megaboss, boss.hit_points = 10;
    marksman.faction = power_marksmanship, tough.faction = power_toughness;
    marksman.hit_points = tough.hit_points = 3, marksman.ammo = tough.ammo = 0;
    for (Unit* u : {&boss, &marksman, &tough}) finish(g, *u);
    EXPECT_EQ(std::tuple(boss.max_hit_points, boss.hit_points, marksman.max_hit_points, marksman.ammo,
                         tough.max_hit_points, tough.ammo),
              std::tuple(10 + 20 * 25, 510, 3, 1, 3 + 3, 0));
}

}  // namespace qm::test
