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

// The player far off, and a bolt or shot one cell west of (51, 50) flying east: it gets there
// on its first movement step.
static Effect& shoot(Game& g, int kind, int power, int life = 100) {
    if (g.units.empty()) put_unit(g, unit_player, 7, 10, 10, 10);
    return put_effect(g, kind, power, 50, 50, life, 100, 0);
}

TEST(EffectUpdate, EachBoltPowerHitsAsItShould) {
    // Hit points an ooze loses to each power; flame, harm and shock bolts hit through clones or a draw.
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

TEST(EffectUpdate, WhereClonesLandAndWhenTheyAreRefused) {
    // Near and chain clones land on the bolt's cell or a neighbour, far ones up to four cells
    // off, each with the bolt's flight; a far clone has 5 to 54 life less than the bolt.
    std::set<std::pair<int, int>> near, chain, far;
    std::set<int> far_life;
    for (std::uint32_t seed = 1; seed <= 200; ++seed) {
        for (auto* clone : {&near_clone, &far_clone, &chain_clone}) {
            Game g;
            g.seed = spread_seed(seed);
            clone(g, put_effect(g, effect_bolt, 9, 50, 50, 100, 30, -70));
            const Effect& c = *g.effects.back();
            EXPECT_EQ(std::tuple(g.effects.size(), c.vx, c.vy, c.generation), std::tuple(2u, 30, -70, 1));
            (clone == &near_clone ? near : clone == &far_clone ? far : chain).insert({c.x - 50, c.y - 50});
            if (clone == &far_clone) far_life.insert(c.life);
        }
    }
    std::set<std::pair<int, int>> one_off;
    for (int k = 0; k < 9; ++k) one_off.insert({k % 3 - 1, k / 3 - 1});
    const auto [left, right] = std::minmax_element(far.begin(), far.end());
    const auto [top, bottom] = std::minmax_element(far.begin(), far.end(), [](auto a, auto b) { return a.second < b.second; });
    EXPECT_EQ(std::tuple(near, chain, left->first, right->first, top->second, bottom->second),
              std::tuple(one_off, one_off, -4, 4, -4, 4));
    EXPECT_TRUE(*far_life.begin() == 46 && *far_life.rbegin() <= 95 && far_life.size() > 30);
    // Near and far clones are refused, without a draw, while another bolt of the parent's
    // power stands on its cell (drops and other powers do not count); chain clones never are.
    Game g;
    Effect& parent = put_effect(g, effect_bolt, 9, 50, 50, 3, 30, -70);
    put_effect(g, effect_ooze_drop, 9, 50, 50, 30), put_effect(g, effect_bolt, 8, 50, 50, 30);
    far_clone(g, parent);
    EXPECT_EQ(std::tuple(g.effects.size(), g.effects.back()->life), std::tuple(4u, 1));
    put_effect(g, effect_bolt, 9, 50, 50, 30);
    const std::uint32_t held = g.seed;
    near_clone(g, parent), far_clone(g, parent);
    EXPECT_EQ(std::tuple(g.effects.size(), g.seed), std::tuple(5u, held));
    chain_clone(g, parent);
    EXPECT_EQ(std::tuple(g.effects.size(), g.effects.back()->life), std::tuple(6u, 100));
}

}  // namespace qm::test
