#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "building_fixtures.h"
#include "buildings/clouds.h"
#include "buildings/effect_update.h"
#include "records/statistics.h"
#include "units/combat.h"
#include "units/death_sweep.h"
#include "units/unit_world.h"

namespace qm {
namespace {

using test::put_building;
using test::put_effect;
using test::put_unit;
using test::seed_giving;
using test::seed_where;

std::uint32_t counter(const Game& g, int index) { return g.current_statistics.counters[index]; }

// The player far off, and a bolt or shot one cell west of (51, 50) flying east: it gets there
// on its first movement step.
Effect& shoot(Game& g, int kind, int power, int life = 100) {
    if (g.units.empty()) put_unit(g, unit_player, 7, 10, 10, 10);
    Effect& e = put_effect(g, kind, power, 50, 50, life, 100, 0);
    e.links = {1, -1, 9, -1};
    return e;
}

TEST(EffectUpdate, OozeDropsRiseAndAreGathered) {
    Game g;
    put_effect(g, effect_ooze_drop, 4, 100, 1, 21);
    g.seed = seed_giving(3, 2);
    effect_update(g);
    EXPECT_EQ(g.effects[0]->y, 0);  // one row up at each tenth of life, drifting by the draw
    EXPECT_EQ(g.effects[0]->x, 101);
    for (int frame = 0; frame < 19; ++frame) effect_update(g);
    EXPECT_EQ(g.effects[0]->y, -1);
    EXPECT_EQ(g.ooze_store[4], 0);
    // Above the map by now, and gathered all the same.
    effect_update(g);
    EXPECT_TRUE(g.effects.empty());
    EXPECT_EQ(g.ooze_store[4], 1);
    EXPECT_EQ(g.cycle_ooze[4], 1);
    EXPECT_EQ(counter(g, stat_gathered + 4), 1u);
    EXPECT_EQ(counter(g, stat_total_gathered), 1u);
}

TEST(EffectUpdate, EachBoltPowerHitsAsItShould) {
    const int lost[16] = {1, 1, 1, 1, 0, 0, 5, 1, 2, 2, 1, 2, 1, 2, 0, 2};  // 0: own test
    for (int power = 0; power < 16; ++power) {
        if (lost[power] == 0) continue;
        Game g;
        shoot(g, effect_bolt, power);
        g.units[0]->hit_points = 5;
        Unit& ooze = put_unit(g, unit_ooze, (power + 1) % 16, 51, 50, 10);
        // The drop's life is drawn after the power's own effects (acid burns with a dodge roll).
        std::uint32_t mirror = g.seed;
        if (power == power_conjuring) random_below(mirror, 100);
        const int drop_life = 30 + random_below(mirror, 30);
        effect_update(g);
        EXPECT_EQ(ooze.hit_points, 10 - lost[power]) << power;
        const Effect& drop = *g.effects[0];
        EXPECT_EQ(drop.kind, effect_ooze_drop);
        EXPECT_EQ(drop.faction, ooze.faction);
        EXPECT_EQ(std::pair(drop.x, drop.y), std::pair(51, 50));
        EXPECT_EQ(drop.life, drop_life) << power;
        EXPECT_EQ(g.units[0]->hit_points, power == power_drain ? 6 : 5);
        EXPECT_EQ(ooze.slow, power == power_slowing ? 10 : power == power_crush ? 20 : 0);
        EXPECT_EQ(ooze.confusion, power == power_confusing ? 10 : 0);
        EXPECT_EQ(ooze.poison, power == power_poison ? 3 : 0);
        const int cloud = power == power_poison ? effect_poison_cloud : power == power_conjuring ? effect_acid_cloud : -1;
        ASSERT_EQ(g.effects.size(), cloud < 0 ? 1u : 2u) << power;
        if (cloud >= 0) {
            EXPECT_EQ(g.effects[1]->kind, cloud);
        }
    }
    {
        // Boons: two own soldiers healed and the bolt spent; a soldier healed and then the
        // ooze beneath it (earlier in the list) struck; haste raised, never lowered.
        Game g;
        shoot(g, effect_bolt, power_regeneration);
        Unit& a = put_unit(g, unit_own_soldier, 1, 51, 50, 5);
        Unit& b = put_unit(g, unit_own_soldier, 1, 51, 50, 5);
        a.hit_points = b.hit_points = 3;
        effect_update(g);
        EXPECT_EQ(a.hit_points + b.hit_points, 8);
        EXPECT_TRUE(g.effects.empty());
        Game h;
        shoot(h, effect_bolt, power_healing);
        Unit& ooze = put_unit(h, unit_ooze, 2, 51, 50, 5);
        Unit& soldier = put_unit(h, unit_own_soldier, 1, 51, 50, 5);
        soldier.hit_points = 4;
        Unit& flier = put_unit(h, unit_own_flier, 1, 51, 50, 3);
        flier.haste = 30;
        effect_update(h);
        EXPECT_EQ(soldier.hit_points, 5);
        EXPECT_EQ(ooze.hit_points, 3);
        EXPECT_EQ(h.effects[0]->kind, effect_ooze_drop);
        shoot(h, effect_bolt, power_speed);
        effect_update(h);
        EXPECT_EQ(flier.haste, 30);
        EXPECT_EQ(soldier.haste, 20);
    }
    {
        // Other powers strike own units too; the player unit never; a kill is swept at once.
        Game g;
        shoot(g, effect_bolt, power_toughness);
        g.units[0]->x = 51;
        g.units[0]->y = 50;
        put_unit(g, unit_citizen, 1, 52, 50, 5);
        effect_update(g);
        EXPECT_EQ(g.units[0]->hit_points, 10);
        for (int frame = 0; frame < 3; ++frame) effect_update(g);
        EXPECT_EQ(g.units.size(), 1u);
        EXPECT_EQ(counter(g, stat_total_lost), 1u);
    }
}

TEST(EffectUpdate, BoltsWearGreyBlocksDownAndPassOtherWalls) {
    Game g;
    put_unit(g, unit_player, 7, 10, 10, 10);
    Unit& ooze = put_unit(g, unit_ooze, 2, 51, 50, 5);
    map_cell(g, 51, 50) = Cell{glyph_wall, 7, 0, 0};
    for (int glyph : {178, 177, 176, int{glyph_floor}}) {
        shoot(g, effect_bolt, power_toughness);
        effect_update(g);
        EXPECT_EQ(map_cell(g, 51, 50).glyph, glyph);
        EXPECT_EQ(ooze.hit_points, 5);
        EXPECT_TRUE(g.effects.empty());
    }
    EXPECT_EQ(map_cell(g, 51, 50).fg, 2);
    // A green wall is no grey block: the bolt strikes the ooze there, which dies.
    map_cell(g, 51, 50) = Cell{glyph_wall, 2, 0, 0};
    shoot(g, effect_bolt, power_toughness);
    effect_update(g);
    EXPECT_EQ(g.units.size(), 1u);
}

TEST(EffectUpdate, ClonesSpreadFlameFarAndChainBolts) {
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        // A flame bolt looks at the cell in front, clones around it and goes back: it never
        // moves. Each winning draw costs it 5 life; a clone takes its life as it was.
        Game g;
        g.seed = seed;
        Effect& flame = shoot(g, effect_bolt, power_thorns);
        effect_update(g);
        EXPECT_EQ(std::pair(flame.x, flame.y), std::pair(50, 50));
        int life = 104;
        for (std::size_t i = 1; i < g.effects.size(); ++i) {
            const Effect& c = *g.effects[i];
            EXPECT_EQ(c.generation, 1);
            EXPECT_EQ(c.links, flame.links);
            EXPECT_LE(c.life, life - 5);
            EXPECT_EQ((99 - c.life) % 5, 0);
            EXPECT_LE(std::max(std::abs(c.x - 51), std::abs(c.y - 50)), 1);
            life = c.life;
        }
        EXPECT_LE(flame.life, life - 5);
        EXPECT_GE(flame.life, 84);
    }
    {
        // Refused while another flame bolt stands in front; only the first step burns.
        Game g;
        put_effect(g, effect_bolt, power_thorns, 51, 50, 100);
        shoot(g, effect_bolt, power_thorns);
        effect_update(g);
        EXPECT_EQ(g.effects.size(), 2u);
        Unit& comer = put_unit(g, unit_ooze, 2, 50, 50, 5);
        for (int frame = 0; frame < 20; ++frame) effect_update(g);
        EXPECT_EQ(comer.hit_points, 5);
    }
    int hits = 0, far = 0;
    for (std::uint32_t seed = 1; seed <= 200; ++seed) {
        // Power 5 goes through a unit four times in five, and clones up to 4 cells off. The
        // unit it passes through ends the scan all the same: the one beneath is never struck.
        Game g;
        g.seed = seed;
        shoot(g, effect_bolt, power_harm);
        const Unit& beneath = put_unit(g, unit_ooze, 1, 51, 50, 10);
        const Unit& ooze = put_unit(g, unit_ooze, 1, 51, 50, 10);
        effect_update(g);
        hits += ooze.hit_points < 10;
        EXPECT_EQ(beneath.hit_points, 10);
        for (std::size_t i = 1; i < g.effects.size(); ++i, ++far) {
            EXPECT_LE(std::max(std::abs(g.effects[i]->x - 51), std::abs(g.effects[i]->y - 50)), 4);
            EXPECT_LE(g.effects[i]->life, 94);
            EXPECT_GE(g.effects[i]->life, 45);
        }
    }
    EXPECT_GT(hits, 20);
    EXPECT_LT(hits, 65);
    EXPECT_GT(far, 135);
    EXPECT_LT(far, 185);
    // A chain of shock bolts grows by one a frame up to the tenth generation.
    Game g;
    shoot(g, effect_bolt, power_shock);
    for (int frame = 1; frame <= 14; ++frame) {
        effect_update(g);
        ASSERT_EQ(g.effects.size(), static_cast<std::size_t>(std::min(frame, 10) + 1));
    }
    EXPECT_EQ(g.effects.back()->generation, 10);
    {
        // Held back on its first step, a shock bolt strikes on the cell it was fired from;
        // held back later, it strikes nothing there.
        Game s;
        shoot(s, effect_bolt, power_shock);
        s.effects[0]->generation = 10;  // no chain, so the first draw is the one in five
        Unit& under = put_unit(s, unit_ooze, 3, 50, 50, 10);
        s.seed = seed_giving(5, 3);
        effect_update(s);
        EXPECT_EQ(under.hit_points, 9);
        EXPECT_EQ(s.effects[0]->kind, effect_ooze_drop);
        Game t;
        Effect& later = shoot(t, effect_bolt, power_shock, 97);
        later.generation = 10;
        const Unit& spared = put_unit(t, unit_ooze, 3, 50, 50, 10);
        t.seed = seed_giving(5, 3);
        effect_update(t);
        EXPECT_EQ(spared.hit_points, 10);
        EXPECT_EQ(std::pair(later.x, later.y), std::pair(50, 50));
    }
    Game w;
    Effect weak = *g.effects[0];
    weak.life = 3;
    far_clone(w, weak);
    EXPECT_EQ(w.effects.back()->life, 1);
}

TEST(EffectUpdate, CloneCellsRefusalsAndTheFlameRoll) {
    // The column offset is drawn first; near and far clones are refused, without a draw,
    // while another bolt of the parent's power stands on its cell; chain clones never are.
    Game g;
    Effect& parent = put_effect(g, effect_bolt, 9, 50, 50, 60, 30, -70);
    parent.generation = 2;
    g.seed = seed_where({{0, 3, [](int v) { return v == 0; }}, {1, 3, [](int v) { return v == 2; }}});
    near_clone(g, parent);
    ASSERT_EQ(g.effects.size(), 2u);
    const Effect near = *g.effects[1];
    EXPECT_EQ(std::pair(near.x, near.y), std::pair(49, 51));
    EXPECT_EQ(near.generation, 3);
    EXPECT_EQ(near.life, 60);
    EXPECT_EQ(std::pair(near.vx, near.vy), std::pair(30, -70));
    EXPECT_EQ(near.first_step, 1);
    g.seed = seed_where({{0, 9, [](int v) { return v == 8; }}, {1, 9, [](int v) { return v == 0; }},
                         {2, 50, [](int v) { return v == 10; }}});
    far_clone(g, parent);
    ASSERT_EQ(g.effects.size(), 3u);
    EXPECT_EQ(std::pair(g.effects[2]->x, g.effects[2]->y), std::pair(54, 46));
    EXPECT_EQ(g.effects[2]->life, 45);

    put_effect(g, effect_ooze_drop, 9, 50, 50, 30);  // not a bolt
    put_effect(g, effect_bolt, 8, 50, 50, 30);       // another power
    near_clone(g, parent);
    EXPECT_EQ(g.effects.size(), 6u);
    put_effect(g, effect_bolt, 9, 50, 50, 30);
    const std::uint32_t seed = g.seed;
    near_clone(g, parent);
    far_clone(g, parent);
    EXPECT_EQ(g.effects.size(), 7u);
    EXPECT_EQ(g.seed, seed);
    chain_clone(g, parent);
    EXPECT_EQ(g.effects.size(), 8u);
    EXPECT_EQ(g.effects.back()->life, 100);

    // A flame bolt of generation 1 clones only on rolls above 1: here 1, then 9 (a clone with
    // the life the bolt had, which then pays 5), then 0.
    Game f;
    Effect& flame = shoot(f, effect_bolt, power_thorns);
    flame.generation = 1;
    f.seed = seed_where({{0, 10, [](int v) { return v == 1; }}, {1, 10, [](int v) { return v == 9; }},
                         {4, 10, [](int v) { return v == 0; }}});
    effect_update(f);
    ASSERT_EQ(f.effects.size(), 2u);
    EXPECT_EQ(flame.life, 94);
    EXPECT_EQ(f.effects[1]->life, 99);
    EXPECT_EQ(f.effects[1]->generation, 2);
}

TEST(EffectUpdate, TowerBoltsAndShotsHitTheOtherSide) {
    {
        // A tower bolt with no velocity sits out its 20 frames; one in flight passes own
        // units and strikes the first hostile.
        Game g;
        Unit& ooze = put_unit(g, unit_ooze, 2, 50, 50, 5);
        put_effect(g, effect_tower_bolt, 3, 50, 50, 20);
        Unit& soldier = put_unit(g, unit_own_soldier, 3, 51, 50, 5);
        Unit& spared = put_unit(g, unit_enemy_soldier, 2, 52, 50, 5);
        Unit& target = put_unit(g, unit_ooze, 2, 52, 50, 5);
        put_effect(g, effect_tower_bolt, 3, 50, 50, 20, 2, 0);
        for (int frame = 0; frame < 19; ++frame) effect_update(g);
        EXPECT_EQ(g.effects.size(), 1u);
        effect_update(g);
        EXPECT_TRUE(g.effects.empty());
        EXPECT_EQ(ooze.hit_points + soldier.hit_points + spared.hit_points, 15);
        EXPECT_EQ(target.hit_points, 4);  // the scan runs from the last unit
    }
    {
        // A shot too strikes the last unit of the target side on its cell, and only that one.
        Game g;
        put_unit(g, unit_player, 7, 10, 10, 10);
        Unit& first = put_unit(g, unit_ooze, 2, 51, 50, 5);
        Unit& last = put_unit(g, unit_enemy_soldier, 2, 51, 50, 5);
        put_unit(g, unit_citizen, 2, 51, 50, 5);
        put_effect(g, effect_friendly_shot, 4, 50, 50, 20, 100, 0);
        effect_update(g);
        effect_update(g);
        EXPECT_EQ(first.hit_points, 5);
        EXPECT_EQ(last.hit_points, 4);
    }
    // Fliers of the shot's faction shrug off half; each link naming it one in four more.
    for (int kind : {effect_hostile_shot, effect_friendly_shot}) {
        int kin_hits = 0, linked_hits = 0;
        for (std::uint32_t seed = 1; seed <= 400; ++seed) {
            Game g;
            g.seed = seed;
            const int flier = kind == effect_hostile_shot ? unit_own_flier : unit_enemy_flier;
            put_unit(g, kind == effect_hostile_shot ? unit_ooze : unit_citizen, 6, 51, 50);  // passed over
            const Unit& kin = put_unit(g, flier, 6, 51, 50);
            Unit& linked = put_unit(g, flier, 1, 71, 50);
            linked.links = {6, 6, -1, 2};
            const Unit& stranger = put_unit(g, flier, 1, 91, 50);
            for (int x : {50, 70, 90}) put_effect(g, kind, 6, x, 50, 20, 100, 0);
            effect_update(g);
            effect_update(g);
            EXPECT_TRUE(g.effects.empty());
            EXPECT_EQ(g.units[0]->hit_points, 5);
            kin_hits += kin.hit_points == 4;
            linked_hits += linked.hit_points == 4;
            EXPECT_EQ(stranger.hit_points, 4);
        }
        EXPECT_GT(kin_hits, 160);
        EXPECT_LT(kin_hits, 240);
        EXPECT_GT(linked_hits, 185);  // 9 in 16
        EXPECT_LT(linked_hits, 265);
    }
    {
        // A hostile shot strikes the player unit; killed, it is restored at home.
        Game g;
        shoot(g, effect_hostile_shot, 2, 20);
        g.units[0]->x = 51;
        g.units[0]->y = 50;
        g.units[0]->hit_points = 1;
        effect_update(g);
        effect_update(g);
        EXPECT_EQ(std::pair(g.units[0]->x, g.units[0]->y), std::pair(player_home_x, player_home_y));
        EXPECT_EQ(g.units[0]->hit_points, 10);
    }
    {
        // Off the map a shot flies on and runs out, touching nothing.
        Game g;
        put_unit(g, unit_player, 7, 399, 124, 10);
        put_effect(g, effect_friendly_shot, 3, 398, 123, 20, 100, 100);
        put_effect(g, effect_hostile_shot, 3, 399, 124, 20, 100, 100);
        for (int frame = 0; frame < 19; ++frame) effect_update(g);
        ASSERT_EQ(g.effects.size(), 2u);
        EXPECT_EQ(std::pair(g.effects[1]->x, g.effects[1]->y), std::pair(408, 133));
        EXPECT_EQ(g.units[0]->hit_points, 10);
        effect_update(g);
        EXPECT_TRUE(g.effects.empty());
    }
}

TEST(EffectUpdate, ShotsWearDownAndRazeBuildings) {
    Game g;
    put_unit(g, unit_player, 7, 10, 10, 10);
    Building& barracks = put_building(g, building_barracks, 5, 51, 50);
    barracks.hit_points = 1;
    put_building(g, building_airfield, 9, 61, 50).hit_points = 1;
    Building& tower = put_building(g, building_tower, 1, 71, 50);
    put_building(g, building_barricade, 1, 81, 50).hit_points = 1;
    put_building(g, building_tower, 1, 91, 50);
    Unit& guard = put_unit(g, unit_citizen, 1, 91, 50, 3);
    Unit& hunter = put_unit(g, unit_own_soldier, 3, 10, 11, 5);
    hunter.target_building = &barracks;
    for (int x : {50, 60, 70}) put_effect(g, effect_friendly_shot, 3, x, 50, 20, 100, 0);
    for (int x : {40, 80, 90}) put_effect(g, effect_hostile_shot, 3, x, 50, 20, 100, 0);
    effect_update(g);
    effect_update(g);
    // Barracks and airfield razed and counted; the tower is not the friendly shot's target;
    // the barricade goes uncounted; the citizen shields the second tower.
    ASSERT_EQ(g.buildings.size(), 2u);
    EXPECT_EQ(hunter.target_building, nullptr);
    EXPECT_EQ(tower.hit_points, 10);
    EXPECT_EQ(g.buildings[1]->hit_points, 10);
    EXPECT_EQ(guard.hit_points, 2);
    EXPECT_EQ(counter(g, stat_barracks_razed + 5), 1u);
    EXPECT_EQ(counter(g, stat_airfields_razed + 9), 1u);
    EXPECT_EQ(counter(g, stat_barracks_razed_total) + counter(g, stat_airfields_razed_total), 2u);
    EXPECT_EQ(counter(g, stat_total_razed), 2u);
    EXPECT_EQ(g.effects.size(), 2u);  // the spent tower shot and the one at 40 fly on
}

TEST(EffectUpdate, FiresAndCloudsSpread) {
    Game g;
    put_effect(g, effect_fire, 0, 60, 60, 11);
    g.seed = seed_where({{0, 3, [](int v) { return v == 0; }}, {1, 3, [](int v) { return v == 2; }}});
    effect_update(g);
    ASSERT_EQ(g.effects.size(), 2u);
    // Appended during the walk, the spark has not yet burnt down: 10 / 2 + 1. Its column is
    // drawn first.
    EXPECT_EQ(g.effects[1]->life, 6);
    EXPECT_EQ(std::pair(g.effects[1]->x, g.effects[1]->y), std::pair(59, 61));
    for (int frame = 0; frame < 6; ++frame) effect_update(g);
    EXPECT_EQ(g.effects.size(), 1u);

    // A cloud harms the other side's ground units where it is released, never fliers, and
    // nothing happens where one of its kind and side already stands.
    Game c;
    Unit& citizen = put_unit(c, unit_citizen, 3, 10, 10);
    Unit& ooze = put_unit(c, unit_ooze, 3, 10, 10);
    Unit& flier = put_unit(c, unit_own_flier, 3, 10, 10);
    release_poison_cloud(c, 10, 10, 1, 100);
    const std::uint32_t seed = c.seed;
    release_poison_cloud(c, 10, 10, 1, 100);
    EXPECT_EQ(c.seed, seed);
    release_acid_cloud(c, 10, 10, 0, 100);
    release_acid_cloud(c, -5, 200, 0, 100);
    release_poison_cloud(c, 10, 10, 0, 100);  // the other side's cloud is no obstacle
    EXPECT_EQ(c.effects.size(), 4u);
    EXPECT_EQ(citizen.poison + flier.poison + ooze.poison, 6);
    EXPECT_EQ(citizen.poison, 3);
    EXPECT_EQ(ooze.poison, 3);
    EXPECT_EQ(ooze.hit_points + citizen.hit_points + flier.hit_points, 14);
    EXPECT_EQ(ooze.hit_points, 4);

    // Four frames in five a cloud rests; then it thins by 25 to 44 and drifts on, its row
    // offset drawn before its column offset.
    Game r;
    put_effect(r, effect_acid_cloud, 1, 60, 60, 100);
    r.seed = seed_where({{0, 5, [](int v) { return v == 0; }}, {1, 20, [](int v) { return v == 5; }},
                         {2, 3, [](int v) { return v == 2; }}, {3, 3, [](int v) { return v == 1; }}});
    effect_update(r);
    ASSERT_EQ(r.effects.size(), 2u);
    EXPECT_EQ(r.effects[0]->life, 70);
    EXPECT_EQ(std::pair(r.effects[1]->x, r.effects[1]->y), std::pair(60, 61));
    EXPECT_EQ(r.effects[1]->life, 95);
    Game d;
    put_effect(d, effect_acid_cloud, 1, 60, 60, 100);
    d.seed = seed_giving(5, 3);
    effect_update(d);
    EXPECT_EQ(d.effects[0]->life, 100);
    bool drifted = false;
    for (std::uint32_t nth = 0; nth < 20; ++nth) {
        Game e;
        put_effect(e, effect_poison_cloud, 1, 60, 60, 100);
        e.seed = seed_giving(5, 0, nth * 1000);
        effect_update(e);
        EXPECT_GE(e.effects[0]->life, 56);
        EXPECT_LE(e.effects[0]->life, 75);
        if (e.effects.size() == 1u) continue;  // drifted onto itself
        drifted = true;
        EXPECT_EQ(e.effects[1]->kind, effect_poison_cloud);
        EXPECT_EQ(e.effects[1]->faction, 1);
        EXPECT_EQ(e.effects[1]->life, e.effects[0]->life + 25);
    }
    EXPECT_TRUE(drifted);
    Game f;
    put_effect(f, effect_acid_cloud, 0, 60, 60, 30);
    f.seed = seed_giving(5, 0);
    effect_update(f);
    EXPECT_TRUE(f.effects.empty());
}

}  // namespace
}  // namespace qm
