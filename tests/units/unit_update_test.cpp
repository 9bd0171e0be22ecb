#include <gtest/gtest.h>

#include <set>
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
using test::idle_phase;
using test::seed_where;
using test::start_world;

TEST(UnitUpdate, ActingSchedule) {
    Game g;
    start_world(g);
    Unit& soldier = add_unit(g, unit_own_soldier, 100, 50, 11);
    Unit& general = add_unit(g, unit_enemy_general, 100, 50, 0);
    Unit& ooze = add_unit(g, unit_ooze, 100, 50);
    Unit& flier = add_unit(g, unit_enemy_flier, 100, 50, 11);

    EXPECT_EQ(acting_period(g, ooze), 100);
    ooze.flags |= unit_swift;
    EXPECT_EQ(acting_period(g, ooze), 15);
    EXPECT_EQ(acting_period(g, soldier), 25 - 3);

    // Speed 30 on a base of 25 is clamped to 5, not -5.
    soldier.links = {11, 11, 11, 11};
    g.units[0]->skill_levels[power_speed] = 23;
    EXPECT_EQ(acting_period(g, soldier), 5);

    // An enemy general with speed 4: 46, slowed 92, slowed and hasted 46, hasted 5.
    general.links = {11, 11, -1, -1};
    EXPECT_EQ(acting_period(g, general), 46);
    general.slow = 10;
    EXPECT_EQ(acting_period(g, general), 92);
    general.haste = 3;
    EXPECT_EQ(acting_period(g, general), 46);
    general.slow = 0;
    EXPECT_EQ(acting_period(g, general), 5);

    // Fliers have no speed; slowed they act every 10 frames.
    EXPECT_EQ(acting_period(g, flier), 5);
    flier.slow = 1;
    EXPECT_EQ(acting_period(g, flier), 10);

    // frame_counter runs modulo 10000, so a period of 15 gets one short gap at the wrap.
    ooze.phase = 7;
    std::vector<int> gaps;
    int last = -1;
    for (int t = 9900; t < 10200; ++t) {
        g.frame_counter = t % 10000;
        if (!acts_this_frame(g, ooze)) continue;
        if (last >= 0) gaps.push_back(t - last);
        last = t;
    }
    ASSERT_FALSE(gaps.empty());
    int short_gaps = 0;
    for (int gap : gaps) {
        if (gap == 10) {
            ++short_gaps;
        } else {
            EXPECT_EQ(gap, 15);
        }
    }
    EXPECT_EQ(short_gaps, 1);
}

TEST(UnitUpdate, TimersHasteSlowConfusionPoison) {
    // Slow wears off one acting frame at a time; the period it doubles is read first.
    Game g;
    start_world(g, 120, 50);
    Unit& citizen = add_unit(g, unit_citizen, 120, 51, 7, 37);
    citizen.slow = 3;
    std::vector<int> worn;
    for (int t = 0; t < 600; ++t) {
        g.frame_counter = t;
        const int before = citizen.slow;
        unit_update(g);
        if (citizen.slow != before) worn.push_back(t);
    }
    EXPECT_EQ(worn, (std::vector<int>{37, 237, 437}));

    // Haste counts down on each acting frame (every 5 frames while hasted).
    citizen.haste = 40;
    for (int t = 0; t < 100; ++t) {
        g.frame_counter = t;
        unit_update(g);
    }
    EXPECT_EQ(citizen.haste, 20);

    // A confused unit staggers and does nothing else: no poison, no search, no ooze drop.
    Game c;
    start_world(c, 150, 50);
    add_building(c, building_node, 105, 50, 7);
    Unit& dazed = add_unit(c, unit_citizen, 100, 50, 7, 0);
    dazed.confusion = 2;
    dazed.poison = 5;
    dazed.haste = 4;
    c.seed = 99;
    std::uint32_t expected = 99;
    random_step(expected);
    random_step(expected);
    unit_update(c);
    EXPECT_EQ(dazed.confusion, 1);
    EXPECT_EQ(dazed.haste, 3);
    EXPECT_EQ(dazed.poison, 5);
    EXPECT_EQ(dazed.target_building, nullptr);
    EXPECT_TRUE(c.effects.empty());
    EXPECT_EQ(c.seed, expected);  // the two stagger draws and nothing more

    // Poison: one draw of random(10), and only on 0 the counter falls and random(4) is drawn.
    for (const bool bites : {false, true}) {
        Game p;
        start_world(p, 100, 52);
        Unit& sick = add_unit(p, unit_citizen, 100, 50, 7, 0);
        sick.poison = 2;
        sick.hit_points = 9;
        // Draw 0 is the haste roll, 1 the poison roll, 2 the bite.
        p.seed = seed_where({{1, 10, [](int v) { return v == 0; }},
                             {2, 4, [bites](int v) { return (v == 0) == bites; }}});
        unit_update(p);
        EXPECT_EQ(sick.poison, 1);
        EXPECT_EQ(sick.hit_points, bites ? 8 : 9);
    }
}

// The kinds whose field changed among a ring of every kind at distance 9 around the actor;
// nothing at distance 10 may change. Kind 0 is the player unit.
struct AuraOutcome {
    std::set<int> near;
    bool far_touched = false;
    bool actor_touched = false;
    std::vector<Effect> clouds;
};

AuraOutcome run_aura(int actor_kind, int power, int field_of_interest) {
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
    // At full health the regeneration roll is still drawn; the healer itself is hurt, to
    // show it is not healed.
    actor.hit_points = power == power_healing ? 10 : 20;
    std::vector<Unit*> near;
    std::vector<Unit*> far;
    for (int k = 1; k <= 9; ++k) {
        near.push_back(&add_unit(g, k, 91, 45 + k));
        far.push_back(&add_unit(g, k, 110, 45 + k));
    }
    for (auto& u : g.units) {
        if (u.get() != &actor) u->hit_points = 10;
    }
    if (actor_kind != unit_own_general) {
        // Draws: haste roll, regeneration roll, then the five rolls in their order.
        static constexpr int roll_of[16] = {0, 2, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 3, 4, 0, 5};
        g.seed = seed_where({{roll_of[power], 100, [](int v) { return v < 35; }}});
    }
    auto field = [field_of_interest](const Unit& u) {
        switch (field_of_interest) {
            case 0: return u.slow;
            case 1: return u.confusion;
            default: return u.hit_points;
        }
    };
    std::vector<int> before;
    for (auto& u : g.units) before.push_back(field(*u));
    const int actor_before = field(actor);

    unit_update(g);

    AuraOutcome out;
    if (field(*g.units[0]) != before[0]) out.near.insert(0);
    for (std::size_t i = 0; i < near.size(); ++i) {
        if (field(*near[i]) != before[2 + 2 * i]) out.near.insert(near[i]->kind);
        if (field(*far[i]) != before[3 + 2 * i]) out.far_touched = true;
    }
    out.actor_touched = field(actor) != actor_before;
    for (auto& e : g.effects) {
        if (e->kind == effect_acid_cloud) out.clouds.push_back(*e);
    }
    return out;
}

TEST(UnitUpdate, AuraTargetSetsAndReach) {
    const std::set<int> hostile_ground{1, 4, 5, 9};
    const std::set<int> own_ground_but_player{2, 3, 7};

    AuraOutcome o = run_aura(unit_own_general, power_slowing, 0);
    EXPECT_EQ(o.near, hostile_ground);
    EXPECT_FALSE(o.far_touched);
    o = run_aura(unit_boss, power_slowing, 0);
    EXPECT_EQ(o.near, own_ground_but_player);  // never the player unit, never fliers
    EXPECT_FALSE(o.far_touched);

    o = run_aura(unit_own_general, power_confusing, 1);
    EXPECT_EQ(o.near, hostile_ground);
    o = run_aura(unit_boss, power_confusing, 1);
    EXPECT_EQ(o.near, own_ground_but_player);
    EXPECT_FALSE(o.far_touched);

    // Harm reaches the player unit from a hostile actor; healing never heals the actor.
    o = run_aura(unit_own_general, power_harm, 2);
    EXPECT_EQ(o.near, hostile_ground);
    EXPECT_FALSE(o.far_touched);
    o = run_aura(unit_boss, power_harm, 2);
    EXPECT_EQ(o.near, (std::set<int>{0, 2, 3, 7}));
    EXPECT_FALSE(o.far_touched);

    o = run_aura(unit_own_general, power_healing, 2);
    EXPECT_EQ(o.near, (std::set<int>{0, 2, 3, 7}));
    EXPECT_FALSE(o.actor_touched);
    EXPECT_FALSE(o.far_touched);
    o = run_aura(unit_boss, power_healing, 2);
    EXPECT_EQ(o.near, hostile_ground);
    EXPECT_FALSE(o.actor_touched);
    EXPECT_FALSE(o.far_touched);

    // Conjuring raises one acid cloud within 3 cells, marked with the actor's side.
    for (const int kind : {unit_own_general, unit_boss}) {
        o = run_aura(kind, power_conjuring, 2);
        ASSERT_EQ(o.clouds.size(), 1u);
        EXPECT_EQ(o.clouds[0].faction, kind == unit_boss ? 1 : 0);
        EXPECT_EQ(o.clouds[0].life, 100);
        EXPECT_LE(distance(100, 50, o.clouds[0].x, o.clouds[0].y), 3);
    }
}

TEST(UnitUpdate, WalkRunsFromTheLastUnitDown) {
    // A citizen listed before the ooze that converts it is visited later, as an ooze.
    Game g;
    start_world(g, 300, 100);
    Unit& citizen = add_unit(g, unit_citizen, 101, 50, 7, 0);
    Unit& other = add_unit(g, unit_citizen, 140, 50, 7);
    add_unit(g, unit_ooze, 100, 50, 6, 0);
    unit_update(g);
    EXPECT_EQ(citizen.kind, unit_ooze);
    EXPECT_EQ(citizen.target_unit, &other);
    EXPECT_EQ(other.kind, unit_citizen);
}

TEST(UnitUpdate, DeathSweepEndsTheUpdate) {
    // Only the player unit, fallen elsewhere: the walk does nothing, the sweep restores it.
    Game g;
    start_world(g, 150, 60);
    Unit& player = *g.units[0];
    player.max_hit_points = 40;
    player.hit_points = -2;
    player.skill_levels[3] = 2;
    player.links = {4, -1, -1, -1};
    unit_update(g);
    EXPECT_EQ(player.hit_points, 40);
    EXPECT_EQ(player.x, 200);
    EXPECT_EQ(player.y, 62);
    EXPECT_EQ(player.skill_levels[3], 2);
    EXPECT_EQ(player.links[0], 4);
    EXPECT_EQ(g.current_statistics.counters[stat_total_lost], 1u);

    // Several deaths in one frame; the survivors keep their order. A unit at 0 hit points
    // still acts in this walk: the dead ooze converts the citizen beside it first.
    player.hit_points = 0;
    Unit& dead_citizen = add_unit(g, unit_citizen, 20, 20, 2);
    dead_citizen.hit_points = 0;
    Unit* survivor_a = &add_unit(g, unit_own_soldier, 30, 30, 3);
    Unit* prey = &add_unit(g, unit_citizen, 51, 51, 7);
    Unit& dead_ooze = add_unit(g, unit_ooze, 50, 50, 6, 0);
    dead_ooze.hit_points = -3;
    Unit* survivor_b = &add_unit(g, unit_enemy_soldier, 60, 60, 4);
    survivor_a->target_unit = &dead_ooze;
    unit_update(g);

    ASSERT_EQ(g.units.size(), 4u);
    EXPECT_EQ(g.units[0].get(), &player);
    EXPECT_EQ(g.units[1].get(), survivor_a);
    EXPECT_EQ(g.units[2].get(), prey);
    EXPECT_EQ(g.units[3].get(), survivor_b);
    EXPECT_EQ(prey->kind, unit_ooze);
    EXPECT_EQ(prey->faction, 6);
    EXPECT_EQ(survivor_a->target_unit, nullptr);
    EXPECT_EQ(player.x, 200);
    EXPECT_EQ(player.hit_points, 40);
    const auto& c = g.current_statistics.counters;
    EXPECT_EQ(c[stat_total_lost], 3u);
    EXPECT_EQ(c[stat_total_destroyed], 1u);
    EXPECT_EQ(c[deaths_index(2, unit_citizen)], 1u);
    EXPECT_EQ(c[deaths_index(6, unit_ooze)], 1u);
    EXPECT_EQ(c[stat_deaths_by_kind + unit_player], 2u);
}

}  // namespace
}  // namespace qm
