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

TEST(UnitUpdate, AuraTargetSetsAndReach) {
    // The actor at (100, 50) amid one unit of each kind at distance 9 and one at distance 10,
    // all hurt so that healing shows. An own general's aura always comes (the player's skill
    // 60 makes stat 120), a megaboss's one time in three (stat 35): twenty seeds each.
    const auto touched = [](int actor_kind, int power) {
        std::set<int> near;
        for (std::uint32_t seed = 1; seed <= 20; ++seed) {
            Game g;
            put_unit(g, unit_player, 0, 109, 50).skill_levels[power] = 60;
            Unit& actor = put_unit(g, actor_kind, power, 100, 50, 20, 0);
            actor.links = {power, power, power, power}, actor.flags = unit_megaboss;
            for (int k = 1; k <= 9; ++k) put_unit(g, k, 0, 91, 45 + k), put_unit(g, k, 0, 110, 45 + k);
            for (auto& u : g.units) u->hit_points = u.get() == &actor && power != power_healing ? 20 : 10;
            std::vector<std::tuple<int, int, int>> before;
            for (auto& u : g.units) before.emplace_back(u->slow, u->confusion, u->hit_points);
            g.seed = spread_seed(seed);
            unit_update(g);
            for (std::size_t i = 0; i < g.units.size(); ++i) {
                const Unit& u = *g.units[i];
                if (std::tuple(u.slow, u.confusion, u.hit_points) == before[i]) continue;
                near.insert(i == 1 || u.x == 110 ? -1 : u.kind);  // -1: the actor or beyond reach
            }
        }
        return near;
    };
    const std::set<int> hostile_ground{1, 4, 5, 9}, own_ground{0, 2, 3, 7}, own_but_player{2, 3, 7};
    const std::tuple<int, int, std::set<int>> cases[] = {
        {unit_own_general, power_slowing, hostile_ground},   {unit_boss, power_slowing, own_but_player},
        {unit_own_general, power_confusing, hostile_ground}, {unit_boss, power_confusing, own_but_player},
        {unit_own_general, power_harm, hostile_ground},      {unit_boss, power_harm, own_ground},
        {unit_own_general, power_healing, own_ground},       {unit_boss, power_healing, hostile_ground},
    };
    for (const auto& [actor, power, expected] : cases) EXPECT_EQ(touched(actor, power), expected) << actor << power;
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

}  // namespace qm::test
