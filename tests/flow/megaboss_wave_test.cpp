#include <gtest/gtest.h>

#include "flow/megaboss_wave.h"
#include "units/combat.h"
#include "world/lists.h"

namespace qm {
namespace {

// Runs of one kind in list order, from index 1 (after the player unit).
std::vector<std::pair<int, int>> kind_runs(const Game& g) {
    std::vector<std::pair<int, int>> runs;
    for (std::size_t i = 1; i < g.units.size(); ++i) {
        if (runs.empty() || runs.back().first != g.units[i]->kind) runs.push_back({g.units[i]->kind, 0});
        ++runs.back().second;
    }
    return runs;
}

void wave_world(Game& g, std::uint32_t seed, int defeated) {
    g.seed = seed;
    g.megaboss_type = 6;
    g.megabosses_defeated = defeated;
    Unit player;
    append_unit(g, player);
}

TEST(WaveCountdown, StartsThenSpawnsOnThe2000thStepAndThenWaits) {
    Game g;
    wave_world(g, 5, 0);
    wave_step(g);
    EXPECT_EQ(g.wave_countdown, 2000);
    for (int i = 1; i < 2000; ++i) wave_step(g);
    EXPECT_EQ(g.wave_countdown, 1);
    EXPECT_EQ(g.units.size(), 1u);
    EXPECT_EQ(g.seed, 5u);  // the countdown draws nothing

    wave_step(g);
    EXPECT_EQ(g.wave_countdown, -2);
    EXPECT_GT(g.units.size(), 96u);

    const auto units = g.units.size();
    const auto seed = g.seed;
    wave_step(g);
    EXPECT_EQ(g.wave_countdown, -2);
    EXPECT_EQ(g.units.size(), units);
    EXPECT_EQ(g.seed, seed);
}

TEST(MegabossWave, FirstWaveDrawOrderAndEscort) {
    Game g;
    wave_world(g, 2024, 0);
    spawn_wave(g);

    std::uint32_t s = 2024;
    const int side = random_below(s, 4);
    int x = 0, y = 0;
    if (side < 2) {
        x = random_below(s, 400);
        y = side == 0 ? 1 : 123;
    } else {
        x = side == 2 ? 1 : 398;
        y = random_below(s, 125);
    }
    std::array<int, 4> links{};
    for (int& l : links) l = random_below(s, 16);
    for (int i = 0; i < 8; ++i) random_below(s, 500);
    const int phase = random_below(s, 500);
    const int soldiers = random_below(s, 30) + 30, fliers = random_below(s, 5) + 5;
    const int oozes = random_below(s, 50) + 50, generals = random_below(s, 7) + 7;
    const int bosses = random_below(s, 3) + 3;

    const Unit& boss = *g.units[1];
    EXPECT_EQ(boss.kind, unit_boss);
    EXPECT_EQ(boss.faction, 6);
    EXPECT_EQ(boss.links, links);
    EXPECT_EQ(boss.phase, phase);
    EXPECT_EQ(boss.affinity, -1);
    EXPECT_TRUE(boss.flags & unit_megaboss);
    EXPECT_EQ(boss.hit_points, 100 + 20 * stat(g, boss, power_toughness));
    EXPECT_EQ(boss.max_hit_points, boss.hit_points);

    const std::vector<std::pair<int, int>> expected{{unit_boss, 1}, {unit_enemy_soldier, soldiers},
                                                    {unit_enemy_general, generals}, {unit_boss, bosses},
                                                    {unit_enemy_flier, fliers}, {unit_ooze, oozes}};
    EXPECT_EQ(kind_runs(g), expected);
    for (std::size_t i = 2; i < g.units.size(); ++i) {
        const Unit& u = *g.units[i];
        ASSERT_EQ(u.x, x);
        ASSERT_EQ(u.y, y);
        EXPECT_EQ(u.faction, 6);
        EXPECT_FALSE(u.flags & unit_megaboss);
        EXPECT_EQ(static_cast<bool>(u.flags & unit_swift), u.kind == unit_ooze);
        for (int k = 0; k < 4; ++k) EXPECT_TRUE(u.links[k] == links[k] || u.links[k] == 6);
        const int base = u.kind == unit_enemy_general ? 10 : u.kind == unit_boss ? 50 : 3;
        EXPECT_EQ(u.hit_points, base + stat(g, u, power_toughness));
        EXPECT_EQ(u.max_hit_points, u.hit_points);
    }
}

TEST(MegabossWave, HitPointsCapAndExtraGroups) {
    const struct {
        int defeated, hit_points, groups;
    } cases[] = {{1, 150, 2}, {8, 500, 9}, {12, 500, 11}};
    for (const auto& c : cases) {
        Game g;
        wave_world(g, 99 + c.defeated, c.defeated);
        spawn_wave(g);
        const Unit& boss = *g.units[1];
        EXPECT_EQ(boss.hit_points - 20 * stat(g, boss, power_toughness), c.hit_points);
        // Each group is a run of soldiers, generals, bosses, fliers and oozes.
        const auto runs = kind_runs(g);
        ASSERT_EQ(runs.size(), 1u + 5u * c.groups) << c.defeated;
        for (int group = 1; group < c.groups; ++group) {
            const auto* r = &runs[1 + 5 * group];
            const int least[] = {10, 4, 2, 3, 10}, most[] = {19, 7, 3, 5, 19};
            for (int k = 0; k < 5; ++k) {
                EXPECT_GE(r[k].second, least[k]);
                EXPECT_LE(r[k].second, most[k]);
            }
        }
    }

    Game g;
    g.seed = 3;
    for (int i = 0; i < 400; ++i) {
        const CellPosition p = edge_point(g);
        ASSERT_TRUE(on_map(p.x, p.y));
        ASSERT_TRUE(p.y == 1 || p.y == 123 || p.x == 1 || p.x == 398) << p.x << "," << p.y;
    }
}

}  // namespace
}  // namespace qm
