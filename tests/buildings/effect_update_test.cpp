#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <tuple>

#include "support/world_builders.h"
#include "buildings/clouds.h"
#include "buildings/effect_update.h"
#include "records/statistics.h"
#include "units/combat.h"
#include "units/pathing.h"

namespace qm::test {

static int off(const Effect& e) { return distance(e.x, e.y, 51, 50); }

// The player far off, and a bolt or shot one cell west of (51, 50) flying east: it gets there
// on its first movement step.
static Effect& shoot(Game& g, int kind, int power, int life = 100) {
    if (g.units.empty()) put_unit(g, unit_player, 7, 10, 10, 10);
    return put_effect(g, kind, power, 50, 50, life, 100, 0);
}

TEST(EffectUpdate, EachBoltPowerHitsAsItShould) {
    // Hit points an ooze loses to each power; flame, harm and shock bolts are cloned below.
    const int lost[16] = {1, 1, 1, 1, 0, 0, 5, 1, 2, 2, 1, 2, 1, 2, 0, 2};
    for (int power = 0; power < 16; ++power) {
        if (lost[power] == 0) continue;
        Game g;
        shoot(g, effect_bolt, power);
        g.units[0]->hit_points = 5;
        Unit& ooze = put_unit(g, unit_ooze, (power + 1) % 16, 51, 50, 10);
        effect_update(g);
        const Effect& drop = *g.effects[0];
        // The last effect is the drop, or the cloud the hit released.
        int last = power == power_poison ? effect_poison_cloud : effect_acid_cloud;
        if (power != power_poison && power != power_conjuring) last = effect_ooze_drop;
        const bool life = drop.life >= 30 && drop.life < 60;
        EXPECT_EQ(std::tuple(ooze.hit_points, drop.kind, drop.faction, drop.x, life, g.effects.back()->kind),
                  std::tuple(10 - lost[power], effect_ooze_drop, ooze.faction, 51, true, last)) << power;
        EXPECT_EQ(std::tuple(g.units[0]->hit_points, ooze.slow, ooze.confusion, ooze.poison),
                  std::tuple(power == power_drain ? 6 : 5, power == power_slowing ? 10 : power == power_crush ? 20 : 0,
                             power == power_confusing ? 10 : 0, power == power_poison ? 3 : 0)) << power;
    }
    // Boons: two own soldiers healed by 1 and the bolt spent; at the next cell a soldier
    // healed by 2 and then the ooze beneath it (earlier in the list) struck.
    Game g;
    shoot(g, effect_bolt, power_regeneration);
    put_unit(g, unit_own_soldier, 1, 51, 50, 5).hit_points = 3;
    put_unit(g, unit_own_soldier, 1, 51, 50, 5).hit_points = 3;
    shoot(g, effect_bolt, power_healing).x = 51;
    Unit& ooze = put_unit(g, unit_ooze, 2, 52, 50, 5);
    put_unit(g, unit_own_soldier, 1, 52, 50, 5).hit_points = 2;
    effect_update(g);
    EXPECT_EQ(std::tuple(g.units[1]->hit_points, g.units[2]->hit_points, g.units[4]->hit_points, ooze.hit_points),
              std::tuple(4, 4, 4, 3));
    EXPECT_EQ(std::tuple(g.effects.size(), g.effects[0]->kind), std::tuple(1u, effect_ooze_drop));

    // Other powers strike own units too, the player unit never; a kill is swept at once. A
    // grey block is worn down a step by a bolt, which ends there and spares the unit on it:
    // only the first bolt's drop is left.
    Game k;
    shoot(k, effect_bolt, power_toughness);
    place_unit(k, *k.units[0], 51, 50);
    put_unit(k, unit_citizen, 1, 52, 50, 5);
    const Unit& hidden = put_unit(k, unit_ooze, 2, 51, 51, 5);
    map_cell(k, 51, 51) = Cell{glyph_wall, 7, 0, 0};
    put_effect(k, effect_bolt, power_toughness, 51, 50, 100, 0, 100);
    for (int frame = 0; frame < 4; ++frame) effect_update(k);
    EXPECT_EQ(std::tuple(k.units.size(), k.units[0]->hit_points, k.current_statistics.counters[stat_total_lost]),
              std::tuple(2u, 10, 1u));
    EXPECT_EQ(std::tuple(k.effects.size(), map_cell(k, 51, 51).glyph, hidden.hit_points), std::tuple(1u, 178, 5));
}

TEST(EffectUpdate, ClonesAndTheirRefusals) {
    int harm_hits = 0, far = 0, held_back = 0;
    for (std::uint32_t seed = 1; seed <= 100; ++seed) {
        // A flame bolt clones around the cell in front and goes back: it never moves. Each
        // winning draw costs it 5 life, even when the clone is refused.
        Game g;
        g.seed = spread_seed(seed);
        Effect& flame = shoot(g, effect_bolt, power_thorns);
        effect_update(g);
        EXPECT_EQ(std::tuple(flame.x, flame.y, flame.life >= 84), std::tuple(50, 50, true));
        EXPECT_LE(flame.life, 99 - 5 * static_cast<int>(g.effects.size() - 1));
        for (std::size_t i = 1; i < g.effects.size(); ++i) {
            EXPECT_EQ(std::tuple(g.effects[i]->generation, off(*g.effects[i]) <= 1), std::tuple(1, true));
        }
        // A power-5 bolt goes through a unit four times in five and clones up to 4 cells off.
        // The unit it passes through ends the scan all the same: the one beneath is spared.
        Game h;
        h.seed = spread_seed(seed);
        shoot(h, effect_bolt, power_harm);
        const Unit& beneath = put_unit(h, unit_ooze, 1, 51, 50, 10);
        const Unit& ooze = put_unit(h, unit_ooze, 1, 51, 50, 10);
        effect_update(h);
        harm_hits += ooze.hit_points < 10;
        EXPECT_EQ(beneath.hit_points, 10);
        for (std::size_t i = 1; i < h.effects.size(); ++i, ++far) {
            EXPECT_TRUE(off(*h.effects[i]) <= 4 && h.effects[i]->life >= 45 && h.effects[i]->life <= 94);
        }
        // Held back four times in five, a shock bolt strikes on its first step the cell it was
        // fired from instead of the one it reached.
        Game s;
        s.seed = spread_seed(seed);
        shoot(s, effect_bolt, power_shock).generation = 10;  // no chain
        const Unit &back = put_unit(s, unit_ooze, 3, 50, 50, 10), &front = put_unit(s, unit_ooze, 3, 51, 50, 10);
        effect_update(s);
        EXPECT_EQ((back.hit_points < 10) + (front.hit_points < 10), 1);
        held_back += back.hit_points < 10;
    }
    EXPECT_TRUE(harm_hits > 8 && harm_hits < 35 && far > 65 && far < 95 && held_back > 65 && held_back < 95);

    // A chain of shock bolts grows by one a frame up to the tenth generation.
    Game c;
    shoot(c, effect_bolt, power_shock);
    for (int frame = 1; frame <= 14; ++frame) {
        effect_update(c);
        ASSERT_EQ(c.effects.size(), static_cast<std::size_t>(std::min(frame, 10) + 1));
    }
    EXPECT_EQ(c.effects.back()->generation, 10);
    // Near and far clones are refused, without a draw, while another bolt of the parent's
    // power stands on its cell (drops and other powers do not count); chain clones never are.
    Game g;
    Effect& parent = put_effect(g, effect_bolt, 9, 50, 50, 3, 30, -70);
    put_effect(g, effect_ooze_drop, 9, 50, 50, 30), put_effect(g, effect_bolt, 8, 50, 50, 30);
    far_clone(g, parent);
    const Effect& clone = *g.effects.at(3);
    EXPECT_EQ(std::tuple(clone.life, clone.vx, clone.vy, clone.generation), std::tuple(1, 30, -70, 1));
    put_effect(g, effect_bolt, 9, 50, 50, 30);
    const std::uint32_t held = g.seed;
    near_clone(g, parent), far_clone(g, parent);
    EXPECT_EQ(g.seed, held);
    chain_clone(g, parent);
    EXPECT_EQ(std::tuple(g.effects.size(), g.effects.back()->life), std::tuple(6u, 100));
}

TEST(EffectUpdate, DropsFiresAndFlight) {
    // A drop rises a row every tenth frame, drifting at most a column; a drop of faction 0
    // gathered at the end of its life counts for faction 0.
    Game g;
    put_effect(g, effect_ooze_drop, 0, 50, 50, 21);
    for (int frame = 0; frame < 20; ++frame) effect_update(g);
    const Effect& drop = *g.effects[0];
    EXPECT_EQ(std::tuple(drop.y, std::abs(drop.x - 50) <= 2), std::tuple(48, true));
    effect_update(g);
    EXPECT_EQ(std::tuple(g.effects.size(), g.ooze_store[0], g.cycle_ooze[0], g.current_statistics.counters[stat_gathered]),
              std::tuple(0u, 1, 1, 1u));
    // Every tenth frame a fire lights a spark with half its life and one more on a cell next
    // to it or its own, any of the nine.
    std::set<std::pair<int, int>> sparks;
    for (std::uint32_t seed = 1; seed <= 60; ++seed) {
        Game f;
        f.seed = spread_seed(seed);
        put_effect(f, effect_fire, 0, 50, 50, 11);
        effect_update(f);
        ASSERT_EQ(f.effects.size(), 2u);
        sparks.insert({f.effects[1]->x - 50, f.effects[1]->y - 50});
        EXPECT_EQ(std::tuple(f.effects[1]->kind, f.effects[1]->life), std::tuple(effect_fire, 6));
    }
    EXPECT_EQ(sparks.size(), 9u);
    EXPECT_TRUE(std::all_of(sparks.begin(), sparks.end(), [](auto s) { return std::abs(s.first) <= 1 && std::abs(s.second) <= 1; }));
    // A tower bolt steps a cell on each axis whose fraction carries past 100: aimed 3 across and
    // 9 up it rises two rows straight and strikes at (51, 47) on its third step; 60 across and
    // 100 up, straight up to (50, 49) on its first and on to (51, 48); 100 across and 60 up,
    // straight across to (51, 50) and on to (52, 49); the same back and down.
    for (const auto& [vx, vy, x, y, frames] :
         {std::tuple{3, -9, 51, 47, 6}, {60, -100, 50, 49, 2}, {60, -100, 51, 48, 4}, {-60, 100, 50, 51, 2},
          {-60, 100, 49, 52, 4}, {100, -60, 51, 50, 2}, {100, -60, 52, 49, 4}, {-100, 60, 49, 50, 2}, {-100, 60, 48, 51, 4}}) {
        Game t;
        put_unit(t, unit_player, 7, 10, 10);
        const Unit& struck = put_unit(t, unit_ooze, 1, x, y);
        put_effect(t, effect_tower_bolt, 4, 50, 50, 20, vx, vy);
        for (int frame = 0; frame < frames; ++frame) effect_update(t);
        EXPECT_EQ(std::tuple(struck.hit_points, t.effects.size()), std::tuple(19, 0u)) << vx;
    }
}

}  // namespace qm::test
