#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "records/statistics.h"
#include "units/combat.h"
#include "units/pathing.h"
#include "units/unit_update.h"
#include "units/unit_world.h"

namespace qm {
namespace {

using test::add_building;
using test::add_unit;
using test::seed_where;
using test::start_world;

void run_frames(Game& g, int from, int to) {
    for (int t = from; t < to; ++t) {
        g.frame_counter = t;
        unit_update(g);
    }
}

TEST(UnitUpdate, ActingSchedule) {
    Game g;
    start_world(g);
    Unit& soldier = add_unit(g, unit_own_soldier, 100, 50, 11);
    Unit& general = add_unit(g, unit_enemy_general, 100, 50, 0);
    Unit& ooze = add_unit(g, unit_ooze, 100, 50);
    Unit& flier = add_unit(g, unit_enemy_flier, 100, 50, 11);
    EXPECT_EQ(acting_period(g, ooze), 100);
    EXPECT_EQ(acting_period(g, soldier), 25 - 3);
    EXPECT_EQ(acting_period(g, flier), 5);  // fliers have no speed
    flier.slow = 1;
    EXPECT_EQ(acting_period(g, flier), 10);

    // Speed 30 on a base of 25 gives 5, not -5.
    soldier.links = {11, 11, 11, 11};
    g.units[0]->skill_levels[power_speed] = 23;
    EXPECT_EQ(acting_period(g, soldier), 5);
    // An enemy general with speed 4: slowed 92, slowed and hasted 46, hasted only 5.
    general.links = {11, 11, -1, -1};
    general.slow = 10;
    EXPECT_EQ(acting_period(g, general), 92);
    general.haste = 3;
    EXPECT_EQ(acting_period(g, general), 46);
    general.slow = 0;
    EXPECT_EQ(acting_period(g, general), 5);

    // A swift ooze acts every 15 frames, with one short gap where frame_counter wraps.
    ooze.flags |= unit_swift;
    ooze.phase = 7;
    std::vector<int> gaps;
    for (int t = 9900, last = -1; t < 10200; ++t) {
        g.frame_counter = t % 10000;
        if (!acts_this_frame(g, ooze)) continue;
        if (last >= 0) gaps.push_back(t - last);
        last = t;
    }
    EXPECT_EQ(std::count(gaps.begin(), gaps.end(), 10), 1);
    EXPECT_EQ(std::count(gaps.begin(), gaps.end(), 15), static_cast<long>(gaps.size()) - 1);
}

TEST(UnitUpdate, TimersHasteSlowConfusionPoison) {
    // Slow wears off one acting frame at a time, read for the period before it is lowered.
    Game g;
    start_world(g, 120, 50);
    Unit& citizen = add_unit(g, unit_citizen, 120, 51, 7, 37);
    citizen.slow = 3;
    std::vector<int> worn;
    for (int t = 0; t < 600; ++t) {
        const int before = citizen.slow;
        run_frames(g, t, t + 1);
        if (citizen.slow != before) worn.push_back(t);
    }
    EXPECT_EQ(worn, (std::vector<int>{37, 237, 437}));
    citizen.haste = 40;  // hasted: every 5 frames, one less each time
    run_frames(g, 0, 100);
    EXPECT_EQ(citizen.haste, 20);

    // A confused unit only staggers: dx drawn first, then dy; no poison, no search, no drop.
    // Its haste and slow wear off all the same.
    Game c;
    start_world(c, 150, 50);
    add_building(c, building_node, 105, 50, 7);
    Unit& dazed = add_unit(c, unit_citizen, 100, 50, 7, 0);
    dazed.confusion = 2;
    dazed.poison = 5;
    dazed.haste = 4;
    dazed.slow = 2;
    c.seed = seed_where({{0, 3, [](int v) { return v == 0; }}, {1, 3, [](int v) { return v == 2; }}});
    std::uint32_t expected = c.seed;
    random_step(expected);
    random_step(expected);
    unit_update(c);
    EXPECT_EQ(dazed.confusion, 1);
    EXPECT_EQ(dazed.haste, 3);
    EXPECT_EQ(dazed.slow, 1);
    EXPECT_EQ(dazed.poison, 5);
    EXPECT_EQ(std::pair(dazed.x, dazed.y), std::pair(99, 51));
    EXPECT_EQ(dazed.target_building, nullptr);
    EXPECT_TRUE(c.effects.empty());
    EXPECT_EQ(c.seed, expected);

    // Poison: random(10) after the haste roll; only on 0 it falls and random(4) may bite.
    for (const bool bites : {false, true}) {
        Game p;
        start_world(p, 100, 52);
        Unit& sick = add_unit(p, unit_citizen, 100, 50, 7, 0);
        sick.poison = 2;
        p.seed = seed_where({{1, 10, [](int v) { return v == 0; }},
                             {2, 4, [bites](int v) { return (v == 0) == bites; }}});
        unit_update(p);
        EXPECT_EQ(sick.poison, 1);
        EXPECT_EQ(sick.hit_points, bites ? 19 : 20);
    }
}

struct AuraOutcome {
    std::set<int> near;  // kinds touched at distance 9; 0 is the player unit
    bool far_touched = false;  // anyone at distance 10
    bool actor_touched = false;
    std::vector<Effect> clouds;
};

// The actor at (100, 50) amid one unit of each kind at distance 9 and one at distance 10.
AuraOutcome run_aura(int actor_kind, int power, std::int32_t Unit::*field) {
    Game g;
    start_world(g, 109, 50);
    Unit& actor = add_unit(g, actor_kind, 100, 50, 0, 0);
    if (actor_kind == unit_own_general) {
        g.units[0]->skill_levels[power] = 60;  // stat 120: the aura always comes
    } else {
        actor.faction = power;
        actor.links = {power, power, power, power};
        actor.flags |= unit_megaboss;  // stat 35
    }
    for (int k = 1; k <= 9; ++k) {
        add_unit(g, k, 91, 45 + k);
        add_unit(g, k, 110, 45 + k);
    }
    if (actor_kind == unit_boss) {
        // A seed whose roll comes up. Draws: haste roll, regeneration roll, then the five
        // rolls in their order.
        constexpr int roll_of[16] = {0, 2, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 3, 4, 0, 5};
        g.seed = seed_where({{roll_of[power], 100, [](int v) { return v < 35; }}});
    }
    // The others are hurt so that healing shows; the actor only for the healing aura, so
    // its regeneration roll is drawn at full health too.
    for (auto& u : g.units) {
        if (u.get() != &actor || power == power_healing) u->hit_points = 10;
    }
    std::vector<int> before;
    for (auto& u : g.units) before.push_back((*u).*field);
    unit_update(g);

    AuraOutcome out;
    for (std::size_t i = 0; i < g.units.size(); ++i) {
        const Unit& u = *g.units[i];
        if (u.*field == before[i]) continue;
        if (i == 1) out.actor_touched = true;
        else if (u.x == 110) out.far_touched = true;
        else out.near.insert(u.kind);
    }
    for (auto& e : g.effects) {
        if (e->kind == effect_acid_cloud) out.clouds.push_back(*e);
    }
    return out;
}

TEST(UnitUpdate, AuraTargetSetsAndReach) {
    const std::set<int> hostile_ground{1, 4, 5, 9};
    const std::set<int> own_ground{0, 2, 3, 7};
    const std::set<int> own_but_player{2, 3, 7};
    struct Case {
        int actor;
        int power;
        std::int32_t Unit::*field;
        std::set<int> touched;
    };
    const Case cases[] = {
        {unit_own_general, power_slowing, &Unit::slow, hostile_ground},
        {unit_boss, power_slowing, &Unit::slow, own_but_player},
        {unit_own_general, power_confusing, &Unit::confusion, hostile_ground},
        {unit_boss, power_confusing, &Unit::confusion, own_but_player},
        {unit_own_general, power_harm, &Unit::hit_points, hostile_ground},
        {unit_boss, power_harm, &Unit::hit_points, own_ground},
        {unit_own_general, power_healing, &Unit::hit_points, own_ground},
        {unit_boss, power_healing, &Unit::hit_points, hostile_ground},
    };
    for (const Case& c : cases) {
        const AuraOutcome o = run_aura(c.actor, c.power, c.field);
        EXPECT_EQ(o.near, c.touched) << "actor " << c.actor << " power " << c.power;
        EXPECT_FALSE(o.far_touched);
        EXPECT_FALSE(o.actor_touched);
    }
    // Conjuring: one acid cloud within 3 cells, marked with the actor's side.
    for (const int kind : {unit_own_general, unit_boss}) {
        const AuraOutcome o = run_aura(kind, power_conjuring, &Unit::slow);
        ASSERT_EQ(o.clouds.size(), 1u);
        EXPECT_EQ(o.clouds[0].faction, kind == unit_boss ? 1 : 0);
        EXPECT_EQ(o.clouds[0].life, 100);
        EXPECT_LE(distance(100, 50, o.clouds[0].x, o.clouds[0].y), 3);
    }
    // The row offset a is drawn before the column offset b, and the cloud rises at
    // (x + b, y + a): draws 5 and 6, after the haste, regeneration, slowing, confusing and
    // conjuring rolls.
    // The healing that follows lifts only the hurt: a unit at full health stays there.
    Game g;
    start_world(g, 150, 90);
    g.units[0]->skill_levels[power_conjuring] = 60;
    g.units[0]->skill_levels[power_healing] = 60;
    add_unit(g, unit_own_general, 100, 50, 0, 0);
    const Unit& whole = add_unit(g, unit_citizen, 101, 50);
    Unit& hurt = add_unit(g, unit_citizen, 102, 50);
    hurt.hit_points = 18;
    g.seed = seed_where({{5, 7, [](int v) { return v == 0; }}, {6, 7, [](int v) { return v == 6; }}});
    unit_update(g);
    ASSERT_EQ(g.effects.size(), 1u);
    EXPECT_EQ(std::pair(g.effects[0]->x, g.effects[0]->y), std::pair(103, 47));
    EXPECT_EQ(whole.hit_points, 20);
    EXPECT_EQ(hurt.hit_points, 19);
}

TEST(UnitUpdate, WalkOrderAndTheDeathSweep) {
    // Only the player unit, fallen elsewhere: the walk leaves it alone (no timers, no draw,
    // even on a frame its phase would match) and the sweep restores it, levels kept.
    Game g;
    start_world(g, 150, 60);
    Unit& player = *g.units[0];
    player.max_hit_points = 40;
    player.hit_points = -2;
    player.skill_levels[3] = 2;
    player.phase = 0;
    player.haste = 3;
    player.confusion = 3;
    g.view_x = 0;
    g.view_y = 0;
    const std::uint32_t seed = g.seed;
    unit_update(g);
    EXPECT_EQ(g.seed, seed);
    EXPECT_EQ(player.haste, 3);
    EXPECT_EQ(player.confusion, 3);
    // The view follows it home as after a move.
    EXPECT_TRUE(g.view_x <= 200 && 200 < g.view_x + 80 && g.view_y <= 62 && 62 < g.view_y + 25);
    EXPECT_EQ(player.hit_points, 40);
    EXPECT_EQ(player.x, 200);
    EXPECT_EQ(player.y, 62);
    EXPECT_EQ(player.skill_levels[3], 2);

    // Several deaths in one frame; the survivors keep their order. The walk runs from the
    // last unit down: the dead ooze still acts and converts the citizen listed before it,
    // which is then visited as an ooze and goes for the other citizen.
    player.hit_points = 0;
    add_unit(g, unit_citizen, 20, 20, 2).hit_points = 0;
    Unit* survivor = &add_unit(g, unit_own_soldier, 30, 30, 3);
    Unit* prey = &add_unit(g, unit_citizen, 51, 51, 7, 0);
    Unit* other = &add_unit(g, unit_citizen, 70, 70, 7);
    Unit& dead_ooze = add_unit(g, unit_ooze, 50, 50, 6, 0);
    dead_ooze.hit_points = -3;
    survivor->target_unit = &dead_ooze;
    unit_update(g);

    ASSERT_EQ(g.units.size(), 4u);
    EXPECT_EQ(g.units[1].get(), survivor);
    EXPECT_EQ(g.units[2].get(), prey);
    EXPECT_EQ(g.units[3].get(), other);
    EXPECT_EQ(prey->kind, unit_ooze);
    EXPECT_EQ(prey->faction, 6);
    EXPECT_EQ(prey->target_unit, other);
    EXPECT_EQ(survivor->target_unit, nullptr);
    EXPECT_EQ(player.x, 200);
    EXPECT_EQ(player.hit_points, 40);
    const auto& c = g.current_statistics.counters;
    EXPECT_EQ(c[stat_total_lost], 3u);
    EXPECT_EQ(c[stat_total_destroyed], 1u);
    EXPECT_EQ(c[deaths_index(2, unit_citizen)], 1u);
    EXPECT_EQ(c[deaths_index(6, unit_ooze)], 1u);

    // A kind or faction outside the tables counts in the totals only, never in some other
    // unit's row (kind 10 of faction 3 would be the player unit of faction 4).
    Game h;
    start_world(h, 150, 60);
    add_unit(h, 10, 20, 20, 3).hit_points = 0;
    add_unit(h, unit_enemy_soldier, 30, 30, 40).hit_points = 0;
    add_unit(h, unit_ooze, 40, 40, -1).hit_points = 0;
    unit_update(h);
    EXPECT_EQ(h.units.size(), 1u);
    const auto& hc = h.current_statistics.counters;
    EXPECT_EQ(hc[deaths_index(4, unit_player)], 0u);
    EXPECT_EQ(hc[stat_total_lost], 1u);
    EXPECT_EQ(hc[stat_total_destroyed], 2u);
    EXPECT_EQ(std::count_if(hc.begin(), hc.end(), [](std::uint32_t v) { return v != 0; }), 2);
}

}  // namespace
}  // namespace qm
