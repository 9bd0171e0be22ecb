#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "building_fixtures.h"
#include "buildings/effect_update.h"
#include "records/statistics.h"
#include "units/combat.h"
#include "units/death_sweep.h"

namespace qm {
namespace {

using test::put_building;
using test::put_effect;
using test::put_unit;
using test::seed_giving;

Effect& put_bolt(Game& g, int kind, int power, int x, int y, int vx, int vy, int life) {
    Effect& e = put_effect(g, kind, power, x, y, life);
    e.vx = vx;
    e.vy = vy;
    e.links = {1, -1, 9, -1};
    return e;
}

std::size_t count_effects(const Game& g, int kind) {
    return static_cast<std::size_t>(
        std::count_if(g.effects.begin(), g.effects.end(), [&](const auto& e) { return e->kind == kind; }));
}

std::uint32_t counter(const Game& g, int index) { return g.current_statistics.counters[index]; }

TEST(EffectUpdate, OozeDropsRiseAndAreGathered) {
    Game g;
    g.seed = 3;
    put_effect(g, effect_ooze_drop, 4, 100, 2, 25);
    for (int frame = 1; frame <= 24; ++frame) {
        effect_update(g);
        ASSERT_EQ(g.effects.size(), 1u);
        // One row up on each tenth: at life 20 and 10.
        EXPECT_EQ(g.effects[0]->y, frame < 5 ? 2 : frame < 15 ? 1 : 0);
        EXPECT_LE(std::abs(g.effects[0]->x - 100), frame < 5 ? 0 : frame < 15 ? 1 : 2);
    }
    EXPECT_EQ(g.ooze_store[4], 0);
    // The last rise takes it above the map; it is gathered all the same.
    effect_update(g);
    EXPECT_TRUE(g.effects.empty());
    EXPECT_EQ(g.ooze_store[4], 1);
    EXPECT_EQ(g.cycle_ooze[4], 1);
    EXPECT_EQ(counter(g, stat_gathered + 4), 1u);
    EXPECT_EQ(counter(g, stat_total_gathered), 1u);
}

// A bolt one cell west of an ooze, flying east: it reaches the ooze on its first step.
struct BoltShot {
    Game g;
    Unit* ooze = nullptr;
    explicit BoltShot(int power, std::uint32_t seed = 1) {
        g.seed = seed;
        Unit& player = put_unit(g, unit_player, 7, 10, 10, 10);
        player.hit_points = 5;
        ooze = &put_unit(g, unit_ooze, (power + 1) % 16, 51, 50, 10);
        put_bolt(g, effect_bolt, power, 50, 50, 100, 0, 100);
    }
};

TEST(EffectUpdate, EachBoltPowerHitsAsItShould) {
    // Power -> hit points the ooze loses.
    const int lost[16] = {1, 1, 1, 1, -1, -1, 5, 1, 2, 2, 1, 2, 1, 2, -1, 2};
    for (int power = 0; power < 16; ++power) {
        if (lost[power] < 0) continue;  // flame, far and chain bolts have their own test
        BoltShot s(power);
        // The drop's life is drawn after the power's own effects: the acid cloud's burn
        // (one dodge roll) comes first.
        std::uint32_t mirror = s.g.seed;
        if (power == power_conjuring) random_below(mirror, 100);
        const int drop_life = 30 + random_below(mirror, 30);
        effect_update(s.g);
        const Unit& ooze = *s.ooze;
        EXPECT_EQ(ooze.hit_points, 10 - lost[power]) << "power " << power;
        // The bolt turned into a drop of the ooze's faction where it struck.
        ASSERT_GE(s.g.effects.size(), 1u);
        const Effect& drop = *s.g.effects[0];
        EXPECT_EQ(drop.kind, effect_ooze_drop) << power;
        EXPECT_EQ(drop.faction, ooze.faction);
        EXPECT_EQ(drop.x, 51);
        EXPECT_EQ(drop.y, 50);
        EXPECT_EQ(drop.life, drop_life) << power;
        EXPECT_EQ(s.g.units[0]->hit_points, power == 0 ? 6 : 5) << power;
        EXPECT_EQ(ooze.slow, power == 1 ? 10 : power == 9 ? 20 : 0) << power;
        EXPECT_EQ(ooze.confusion, power == 12 ? 10 : 0) << power;
        EXPECT_EQ(ooze.poison, power == 2 ? 3 : 0) << power;
        const int cloud = power == 2 ? effect_poison_cloud : power == 13 ? effect_acid_cloud : -1;
        if (cloud >= 0) {
            ASSERT_EQ(s.g.effects.size(), 2u);
            EXPECT_EQ(s.g.effects[1]->kind, cloud);
            EXPECT_EQ(s.g.effects[1]->faction, 0);
            EXPECT_EQ(s.g.effects[1]->life, 100);
            EXPECT_EQ(s.g.effects[1]->x, 51);
        } else {
            EXPECT_EQ(s.g.effects.size(), 1u) << power;
        }
    }
    {
        // Slowing never lowers a longer slow; the player's heal stops at the maximum.
        BoltShot s(power_crush);
        s.ooze->slow = 30;
        effect_update(s.g);
        EXPECT_EQ(s.ooze->slow, 30);
        BoltShot t(power_drain);
        t.g.units[0]->hit_points = 10;
        effect_update(t.g);
        EXPECT_EQ(t.g.units[0]->hit_points, 10);
    }
    {
        // A blow that kills is swept in the same frame and counted.
        BoltShot s(6);
        s.ooze->hit_points = 5;
        effect_update(s.g);
        EXPECT_EQ(s.g.units.size(), 1u);
        EXPECT_EQ(counter(s.g, stat_total_destroyed), 1u);
    }
}

TEST(EffectUpdate, BoonBoltsHelpOwnUnitsAndStillStrikeTheEnemy) {
    {
        // Two own soldiers: both healed, the bolt spent.
        Game g;
        put_unit(g, unit_player, 7, 10, 10, 10);
        Unit& a = put_unit(g, unit_own_soldier, 1, 51, 50, 5);
        Unit& b = put_unit(g, unit_own_soldier, 1, 51, 50, 5);
        a.hit_points = 3;
        b.hit_points = 5;
        put_bolt(g, effect_bolt, power_regeneration, 50, 50, 100, 0, 100);
        effect_update(g);
        EXPECT_EQ(a.hit_points, 4);
        EXPECT_EQ(b.hit_points, 5);
        EXPECT_TRUE(g.effects.empty());
    }
    {
        // The soldier (later in the list) is healed first, then the ooze takes the hit.
        Game g;
        put_unit(g, unit_player, 7, 10, 10, 10);
        Unit& ooze = put_unit(g, unit_ooze, 2, 51, 50, 5);
        Unit& soldier = put_unit(g, unit_own_soldier, 1, 51, 50, 5);
        soldier.hit_points = 1;
        put_bolt(g, effect_bolt, power_healing, 50, 50, 100, 0, 100);
        effect_update(g);
        EXPECT_EQ(soldier.hit_points, 3);
        EXPECT_EQ(ooze.hit_points, 3);
        ASSERT_EQ(g.effects.size(), 1u);
        EXPECT_EQ(g.effects[0]->kind, effect_ooze_drop);
        EXPECT_EQ(g.effects[0]->faction, 2);
    }
    {
        // Haste and speed raise haste to at least 10 and 20; fliers and citizens count too.
        Game g;
        put_unit(g, unit_player, 7, 10, 10, 10);
        Unit& citizen = put_unit(g, unit_citizen, 1, 51, 50, 1);
        Unit& flier = put_unit(g, unit_own_flier, 1, 51, 50, 3);
        flier.haste = 30;
        put_bolt(g, effect_bolt, power_speed, 50, 50, 100, 0, 100);
        effect_update(g);
        EXPECT_EQ(citizen.haste, 20);
        EXPECT_EQ(flier.haste, 30);
        put_bolt(g, effect_bolt, power_haste, 50, 50, 100, 0, 100);
        citizen.haste = 0;
        effect_update(g);
        EXPECT_EQ(citizen.haste, 10);
    }
    {
        // Any other power hits an own unit like an enemy.
        Game g;
        put_unit(g, unit_player, 7, 10, 10, 10);
        Unit& soldier = put_unit(g, unit_own_soldier, 1, 51, 50, 5);
        put_bolt(g, effect_bolt, power_dodge, 50, 50, 100, 0, 100);
        effect_update(g);
        EXPECT_EQ(soldier.hit_points, 3);
        EXPECT_EQ(g.effects[0]->kind, effect_ooze_drop);
    }
    {
        // The player unit is never struck: the bolt flies on over it.
        Game g;
        Unit& player = put_unit(g, unit_player, 7, 51, 50, 10);
        put_bolt(g, effect_bolt, power_toughness, 50, 50, 100, 0, 100);
        effect_update(g);
        EXPECT_EQ(player.hit_points, 10);
        ASSERT_EQ(g.effects.size(), 1u);
        EXPECT_EQ(g.effects[0]->kind, effect_bolt);
        EXPECT_EQ(g.effects[0]->x, 51);
    }
}

TEST(EffectUpdate, BoltsWearGreyBlocksAndPassOtherWalls) {
    Game g;
    put_unit(g, unit_player, 7, 10, 10, 10);
    Unit& ooze = put_unit(g, unit_ooze, 2, 51, 50, 5);
    map_cell(g, 51, 50) = Cell{glyph_wall, 7, 0, 0};
    const int shades[] = {178, 177, 176, glyph_floor};
    for (int glyph : shades) {
        put_bolt(g, effect_bolt, power_toughness, 50, 50, 100, 0, 100);
        effect_update(g);
        EXPECT_EQ(map_cell(g, 51, 50).glyph, glyph);
        EXPECT_EQ(ooze.hit_points, 5);
        EXPECT_TRUE(g.effects.empty());
    }
    EXPECT_EQ(map_cell(g, 51, 50).fg, 2);
    // Worn to open ground, the cell lets the next bolt through to the ooze, which dies.
    put_bolt(g, effect_bolt, power_toughness, 50, 50, 100, 0, 100);
    effect_update(g);
    EXPECT_EQ(g.units.size(), 1u);

    // A green wall is no grey block.
    Game h;
    map_cell(h, 51, 50) = Cell{glyph_wall, 2, 0, 0};
    put_bolt(h, effect_bolt, power_toughness, 50, 50, 100, 0, 100);
    effect_update(h);
    EXPECT_EQ(map_cell(h, 51, 50).glyph, glyph_wall);
    ASSERT_EQ(h.effects.size(), 1u);
    EXPECT_EQ(h.effects[0]->x, 51);
}

TEST(EffectUpdate, FlameBoltsStayAndSpreadThroughClones) {
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        Game g;
        g.seed = seed;
        Effect& flame = put_bolt(g, effect_bolt, power_thorns, 50, 50, 100, 0, 100);
        effect_update(g);
        const std::size_t clones = g.effects.size() - 1;
        EXPECT_LE(clones, 3u);
        EXPECT_EQ(flame.x, 50);
        EXPECT_EQ(flame.y, 50);
        EXPECT_EQ(flame.first_step, 0);
        int expected_life = 99;
        for (std::size_t i = 1; i < g.effects.size(); ++i) {
            const Effect& c = *g.effects[i];
            EXPECT_EQ(c.kind, effect_bolt);
            EXPECT_EQ(c.faction, power_thorns);
            EXPECT_EQ(c.links, flame.links);
            EXPECT_EQ(c.generation, 1);
            EXPECT_EQ(c.first_step, 1);
            EXPECT_EQ(c.vx, 100);
            // Around the cell in front, which the parent looked at before going back.
            EXPECT_LE(std::abs(c.x - 51), 1);
            EXPECT_LE(std::abs(c.y - 50), 1);
            EXPECT_LE(c.life, expected_life);
            expected_life = c.life;
        }
        EXPECT_LE(flame.life, 99 - 5 * static_cast<int>(clones));
        EXPECT_GE(flame.life, 84);
        for (int frame = 0; frame < 12; ++frame) effect_update(g);
        EXPECT_EQ(flame.x, 50);
    }
    {
        // Another flame bolt on the cell in front refuses every clone.
        Game g;
        g.seed = 8;
        put_bolt(g, effect_bolt, power_thorns, 51, 50, 0, 0, 100);
        put_bolt(g, effect_bolt, power_thorns, 50, 50, 100, 0, 100);
        effect_update(g);
        EXPECT_EQ(g.effects.size(), 2u);
    }
    {
        // It burns what stands on its own cell on its first step, and never again.
        Game g;
        g.seed = 2;
        put_unit(g, unit_player, 7, 10, 10, 10);
        Unit& ooze = put_unit(g, unit_ooze, 2, 50, 50, 5);
        Effect& flame = put_bolt(g, effect_bolt, power_thorns, 50, 50, 100, 0, 100);
        flame.generation = 20;  // no clones to muddle the cell
        effect_update(g);
        EXPECT_EQ(ooze.hit_points, 4);
        EXPECT_EQ(g.effects[0]->kind, effect_ooze_drop);

        Game h;
        put_unit(h, unit_player, 7, 10, 10, 10);
        Effect& late = put_bolt(h, effect_bolt, power_thorns, 50, 50, 100, 0, 100);
        late.generation = 20;
        effect_update(h);
        Unit& comer = put_unit(h, unit_ooze, 2, 50, 50, 5);
        for (int frame = 0; frame < 20; ++frame) effect_update(h);
        EXPECT_EQ(comer.hit_points, 5);
    }
}

TEST(EffectUpdate, FarBoltsPassMostUnitsAndCloneFarAway) {
    int hits = 0;
    int clones = 0;
    for (std::uint32_t seed = 1; seed <= 200; ++seed) {
        BoltShot s(power_harm, seed);
        effect_update(s.g);
        if (s.ooze->hit_points < 10) {
            ++hits;
            EXPECT_EQ(s.g.effects[0]->kind, effect_ooze_drop);
        } else {
            EXPECT_EQ(s.g.effects[0]->kind, effect_bolt);
            EXPECT_EQ(s.g.effects[0]->x, 51);
        }
        for (std::size_t i = 1; i < s.g.effects.size(); ++i) {
            const Effect& c = *s.g.effects[i];
            ++clones;
            EXPECT_EQ(c.generation, 1);
            EXPECT_LE(std::abs(c.x - 51), 4);
            EXPECT_LE(std::abs(c.y - 50), 4);
            EXPECT_LE(c.life, 99 - 5);
            EXPECT_GE(c.life, 99 - 54);
        }
    }
    // One in five hits; four in five clone.
    EXPECT_GT(hits, 20);
    EXPECT_LT(hits, 70);
    EXPECT_GT(clones, 130);
    EXPECT_LT(clones, 190);

    // A clone's life never drops below 1.
    Game g;
    Effect parent = fresh_effect();
    parent.kind = effect_bolt;
    parent.faction = power_harm;
    parent.life = 3;
    far_clone(g, parent);
    near_clone(g, parent);
    ASSERT_EQ(g.effects.size(), 2u);
    EXPECT_EQ(g.effects[0]->life, 1);
    EXPECT_EQ(g.effects[1]->life, 3);
}

TEST(EffectUpdate, ShockBoltsChainUpToTheTenthGeneration) {
    Game g;
    g.seed = 5;
    put_bolt(g, effect_bolt, power_shock, 100, 60, 100, 0, 100);
    for (int frame = 1; frame <= 15; ++frame) {
        effect_update(g);
        const std::size_t expected = static_cast<std::size_t>(std::min(frame, 10) + 1);
        ASSERT_EQ(g.effects.size(), expected) << frame;
    }
    int deepest = 0;
    for (const auto& e : g.effects) deepest = std::max(deepest, e->generation);
    EXPECT_EQ(deepest, 10);
    for (const auto& e : g.effects) EXPECT_EQ(e->faction, power_shock);
}

TEST(EffectUpdate, TowerBoltsFlyAtHostilesOnly) {
    {
        // Fired at a unit on the tower's own cell: no velocity, no hit, gone after 20 frames.
        Game g;
        put_unit(g, unit_player, 7, 10, 10, 10);
        Unit& ooze = put_unit(g, unit_ooze, 2, 50, 50, 5);
        put_bolt(g, effect_tower_bolt, 3, 50, 50, 0, 0, 20);
        for (int frame = 1; frame < 20; ++frame) effect_update(g);
        EXPECT_EQ(g.effects.size(), 1u);
        effect_update(g);
        EXPECT_TRUE(g.effects.empty());
        EXPECT_EQ(ooze.hit_points, 5);
    }
    {
        // Over an own soldier, into the ooze three cells on.
        Game g;
        put_unit(g, unit_player, 7, 10, 10, 10);
        Unit& ooze = put_unit(g, unit_ooze, 2, 53, 50, 5);
        Unit& soldier = put_unit(g, unit_own_soldier, 3, 51, 50, 5);
        put_bolt(g, effect_tower_bolt, 3, 50, 50, 3, 0, 20);
        for (int frame = 0; frame < 20; ++frame) effect_update(g);
        EXPECT_EQ(soldier.hit_points, 5);
        EXPECT_EQ(ooze.hit_points, 4);
        EXPECT_TRUE(g.effects.empty());
    }
}

TEST(EffectUpdate, ShotsHitTheOtherSideAndFliersMayResist) {
    {
        // A hostile shot hits the player unit, which a bolt never can; killed, it is restored.
        Game g;
        Unit& player = put_unit(g, unit_player, 7, 51, 50, 10);
        player.hit_points = 1;
        put_unit(g, unit_ooze, 2, 51, 50, 5);  // its own side: passed over
        put_bolt(g, effect_hostile_shot, 2, 50, 50, 100, 0, 20);
        effect_update(g);
        EXPECT_EQ(g.effects.size(), 1u);  // odd life: no move yet
        effect_update(g);
        EXPECT_TRUE(g.effects.empty());
        EXPECT_EQ(player.hit_points, 10);
        EXPECT_EQ(player.x, player_home_x);
        EXPECT_EQ(player.y, player_home_y);
        EXPECT_EQ(counter(g, stat_total_lost), 1u);
        EXPECT_EQ(g.units[1]->hit_points, 5);
    }
    // Fliers of the shot's faction shrug off half; each matching link one in four more.
    for (int kind : {effect_hostile_shot, effect_friendly_shot}) {
        const int flier_kind = kind == effect_hostile_shot ? unit_own_flier : unit_enemy_flier;
        int kin_hits = 0;
        int linked_hits = 0;
        for (std::uint32_t seed = 1; seed <= 400; ++seed) {
            Game g;
            g.seed = seed;
            put_unit(g, unit_player, 7, 10, 10, 10);
            Unit& kin = put_unit(g, flier_kind, 6, 51, 50, 5);
            Unit& linked = put_unit(g, flier_kind, 1, 71, 50, 5);
            linked.links = {6, 6, -1, 2};
            Unit& stranger = put_unit(g, flier_kind, 1, 91, 50, 5);
            put_bolt(g, kind, 6, 50, 50, 100, 0, 20);
            put_bolt(g, kind, 6, 70, 50, 100, 0, 20);
            put_bolt(g, kind, 6, 90, 50, 100, 0, 20);
            effect_update(g);
            effect_update(g);
            EXPECT_TRUE(g.effects.empty());
            kin_hits += kin.hit_points == 4;
            linked_hits += linked.hit_points == 4;
            EXPECT_EQ(stranger.hit_points, 4);
        }
        EXPECT_GT(kin_hits, 150);
        EXPECT_LT(kin_hits, 250);
        EXPECT_GT(linked_hits, 180);  // 9 in 16
        EXPECT_LT(linked_hits, 270);
    }
}

TEST(EffectUpdate, ShotsDamageAndRazeTheOtherSidesBuildings) {
    {
        Game g;
        put_unit(g, unit_player, 7, 10, 10, 10);
        Building& barracks = put_building(g, building_barracks, 5, 51, 50);
        barracks.hit_points = 1;
        Building& airfield = put_building(g, building_airfield, 9, 61, 50);
        airfield.hit_points = 2;
        Building& tower = put_building(g, building_tower, 1, 71, 50);
        Unit& hunter = put_unit(g, unit_own_soldier, 3, 10, 11, 5);
        hunter.target_building = &barracks;
        put_bolt(g, effect_friendly_shot, 3, 50, 50, 100, 0, 20);
        put_bolt(g, effect_friendly_shot, 3, 60, 50, 100, 0, 20);
        put_bolt(g, effect_friendly_shot, 3, 70, 50, 100, 0, 20);  // towers are its own side
        effect_update(g);
        effect_update(g);
        ASSERT_EQ(g.buildings.size(), 2u);
        EXPECT_EQ(hunter.target_building, nullptr);
        EXPECT_EQ(counter(g, stat_barracks_razed + 5), 1u);
        EXPECT_EQ(counter(g, stat_barracks_razed_total), 1u);
        EXPECT_EQ(counter(g, stat_total_razed), 1u);
        EXPECT_EQ(g.buildings[0]->hit_points, 1);
        EXPECT_EQ(tower.hit_points, 10);
        EXPECT_EQ(count_effects(g, effect_friendly_shot), 1u);
        // The second shot finishes the airfield.
        put_bolt(g, effect_friendly_shot, 3, 60, 50, 100, 0, 20);
        effect_update(g);
        effect_update(g);
        EXPECT_EQ(counter(g, stat_airfields_razed + 9), 1u);
        EXPECT_EQ(counter(g, stat_airfields_razed_total), 1u);
        EXPECT_EQ(counter(g, stat_total_razed), 2u);
    }
    {
        // Hostile shots wear towers and barricades down, uncounted; a unit on the cell is
        // hit instead of the building.
        Game g;
        put_unit(g, unit_player, 7, 10, 10, 10);
        Building& barricade = put_building(g, building_barricade, 1, 51, 50);
        barricade.hit_points = 1;
        Building& tower = put_building(g, building_tower, 1, 61, 50);
        put_building(g, building_barracks, 1, 71, 50);
        Unit& guard = put_unit(g, unit_citizen, 1, 61, 50, 3);
        put_bolt(g, effect_hostile_shot, 3, 50, 50, 100, 0, 20);
        put_bolt(g, effect_hostile_shot, 3, 60, 50, 100, 0, 20);
        put_bolt(g, effect_hostile_shot, 3, 70, 50, 100, 0, 20);
        effect_update(g);
        effect_update(g);
        ASSERT_EQ(g.buildings.size(), 2u);
        EXPECT_EQ(tower.hit_points, 10);
        EXPECT_EQ(guard.hit_points, 2);
        EXPECT_EQ(g.buildings[1]->hit_points, 10);
        EXPECT_EQ(counter(g, stat_total_razed), 0u);
    }
}

TEST(EffectUpdate, ShotsOffTheMapTouchNothingAndRunOut) {
    Game g;
    put_unit(g, unit_player, 7, 0, 0, 10);
    put_building(g, building_tower, 1, 0, 0);
    put_bolt(g, effect_hostile_shot, 3, 0, 1, 0, -100, 20);  // north, through (0, 0)
    put_bolt(g, effect_friendly_shot, 3, 399, 124, 100, 100, 20);
    put_bolt(g, effect_bolt, 6, 0, 60, -100, 0, 100);
    for (int frame = 1; frame <= 19; ++frame) effect_update(g);
    // The hostile shot met the player at (0, 0) on its way; the others flew off the map.
    EXPECT_EQ(g.units[0]->hit_points, 9);
    ASSERT_EQ(g.effects.size(), 2u);
    EXPECT_EQ(g.effects[0]->x, 408);
    EXPECT_EQ(g.effects[0]->y, 133);
    EXPECT_LT(g.effects[1]->x, 0);
    effect_update(g);
    EXPECT_EQ(g.effects.size(), 1u);
}

TEST(EffectUpdate, FiresSpreadAndNewEffectsWaitAFrame) {
    Game g;
    g.seed = 6;
    put_effect(g, effect_fire, 0, 60, 60, 11);
    effect_update(g);
    ASSERT_EQ(g.effects.size(), 2u);
    const Effect& spark = *g.effects[1];
    EXPECT_EQ(spark.kind, effect_fire);
    // Appended during the walk, so not yet burnt down this frame: 10 / 2 + 1.
    EXPECT_EQ(spark.life, 6);
    EXPECT_LE(std::abs(spark.x - 60), 1);
    EXPECT_LE(std::abs(spark.y - 60), 1);
    // The spark goes out when it reaches 0, six frames on; the parent four frames later.
    for (int frame = 0; frame < 6; ++frame) effect_update(g);
    ASSERT_EQ(g.effects.size(), 1u);
    EXPECT_EQ(g.effects[0]->life, 4);
    for (int frame = 0; frame < 4; ++frame) effect_update(g);
    EXPECT_TRUE(g.effects.empty());
}

TEST(EffectUpdate, CloudsThinOutAndDriftOntoNeighbours) {
    {
        // Four frames in five nothing happens: a single draw.
        Game g;
        put_effect(g, effect_acid_cloud, 1, 60, 60, 100);
        g.seed = seed_giving(5, 3);
        effect_update(g);
        EXPECT_EQ(g.effects[0]->life, 100);
        EXPECT_EQ(g.effects.size(), 1u);
    }
    bool drifted = false;
    for (std::uint32_t nth = 0; nth < 30; ++nth) {
        Game g;
        put_unit(g, unit_player, 7, 10, 10, 10);
        put_effect(g, effect_poison_cloud, 1, 60, 60, 100);
        g.seed = seed_giving(5, 0, nth * 1000);
        effect_update(g);
        const Effect& cloud = *g.effects[0];
        EXPECT_GE(cloud.life, 100 - 44);
        EXPECT_LE(cloud.life, 100 - 25);
        if (g.effects.size() == 1u) continue;  // drifted onto itself: refused
        drifted = true;
        const Effect& child = *g.effects[1];
        EXPECT_EQ(child.kind, effect_poison_cloud);
        EXPECT_EQ(child.faction, 1);
        EXPECT_EQ(child.life, cloud.life + 25);
        EXPECT_LE(std::abs(child.x - 60), 1);
        EXPECT_LE(std::abs(child.y - 60), 1);
    }
    EXPECT_TRUE(drifted);
    {
        Game g;
        put_effect(g, effect_acid_cloud, 0, 60, 60, 30);
        g.seed = seed_giving(5, 0);
        effect_update(g);
        EXPECT_TRUE(g.effects.empty());
    }
}

}  // namespace
}  // namespace qm
