#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "console/startup.h"
#include "flow/game_frame.h"
#include "flow/megaboss_wave.h"
#include "flow/sector_assignment.h"
#include "support/scripted_terminal.h"
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

// Every sector open and the corrupted node razed: each game frame qualifies for the countdown
// until a hostile building stands again.
TEST(WaveCountdown, InGameFramesPausesWhileAHostileBuildingStandsAndSpawnsOnThe2000thQualifyingFrame) {
    Game g;
    test::ScriptedTerminal t;
    g.terminal = &t;
    g.seed = 4242;
    t.idle_frames_before_escape = 10000;
    t.set_realtime_input(true);
    reset_game_state(g);
    start_new_game(g);
    g.more_sectors = 0;
    remove_building(g, 1);

    int qualifying = 0;
    const auto frame = [&] {
        const bool hostile = std::any_of(g.buildings.begin(), g.buildings.end(),
                                         [](const auto& b) { return is_hostile_building_kind(b->kind); });
        if (!hostile) ++qualifying;
        ASSERT_FALSE(game_frame(g));
    };
    frame();
    EXPECT_EQ(g.wave_countdown, 2000);
    qualifying = 0;  // counted from the frame that started it
    frame();
    frame();
    EXPECT_EQ(g.wave_countdown, 1998);

    // A barracks far off in the closed part of the map holds the countdown where it is, and
    // the banner keeps showing that number.
    Building barracks = fresh_building(g);
    barracks.kind = building_barracks;
    barracks.faction = 5;
    barracks.x = 20;
    barracks.y = 20;
    append_building(g, barracks);
    for (int i = 0; i < 5; ++i) frame();
    EXPECT_EQ(g.wave_countdown, 1998);
    EXPECT_NE(t.last_frame().find("IS COMING: 1998"), std::string::npos);
    remove_building(g, find_building_at(g, 20, 20));

    while (g.wave_countdown > 1) frame();
    EXPECT_EQ(qualifying, 1999);
    const std::size_t before = g.units.size();
    frame();
    EXPECT_EQ(qualifying, 2000);
    EXPECT_EQ(g.wave_countdown, -2);
    EXPECT_GE(g.units.size(), before + 96);
    frame();
    EXPECT_EQ(t.last_frame().find("IS COMING"), std::string::npos);
}

// The wave as a player would see it drawn from one seed, modelled draw by draw: where each unit
// stands, its links and phase say whether every draw came in its place.
struct ModelUnit {
    int kind, x, y, phase;
    std::array<int, 4> links;
};

struct WaveModel {
    std::uint32_t s;
    int type;
    std::array<int, 4> wave_links{};
    std::vector<ModelUnit> units;

    CellPosition edge() {
        const int side = random_below(s, 4);
        if (side < 2) return {random_below(s, 400), side == 0 ? 1 : 123};
        return {side == 2 ? 1 : 398, random_below(s, 125)};
    }
    // A fresh unit draws the phases of its eight empty carry slots.
    void fresh() {
        for (int i = 0; i < 8; ++i) random_below(s, 500);
    }
    void escort(int count, int kind, CellPosition at) {
        for (int i = 0; i < count; ++i) {
            fresh();
            ModelUnit u{kind, at.x, at.y, 0, {}};
            for (int k = 0; k < 4; ++k) u.links[k] = random_below(s, 2) != 0 ? wave_links[k] : type;
            u.phase = random_below(s, 500);
            units.push_back(u);
        }
    }
    WaveModel(std::uint32_t seed, int megaboss_type, int defeated) : s(seed), type(megaboss_type) {
        const CellPosition at = edge();
        for (int& l : wave_links) l = random_below(s, 16);
        fresh();
        units.push_back({unit_boss, at.x, at.y, random_below(s, 500), wave_links});
        const int soldiers = random_below(s, 30) + 30, fliers = random_below(s, 5) + 5;
        const int oozes = random_below(s, 50) + 50, generals = random_below(s, 7) + 7;
        const int bosses = random_below(s, 3) + 3;
        escort(soldiers, unit_enemy_soldier, at);
        escort(generals, unit_enemy_general, at);
        escort(bosses, unit_boss, at);
        escort(fliers, unit_enemy_flier, at);
        escort(oozes, unit_ooze, at);
        for (int g = 0; g < std::min(defeated, 10); ++g) {
            const CellPosition q = edge();
            const int a = random_below(s, 10) + 10, f = random_below(s, 3) + 3, o = random_below(s, 10) + 10;
            const int e = random_below(s, 4) + 4, b = random_below(s, 2) + 2;
            escort(a, unit_enemy_soldier, q);
            escort(e, unit_enemy_general, q);
            escort(b, unit_boss, q);
            escort(f, unit_enemy_flier, q);
            escort(o, unit_ooze, q);
        }
    }
};

TEST(MegabossWave, EveryDrawInItsOrderAndEveryUnitAsMade) {
    for (const int defeated : {0, 2}) {
        SCOPED_TRACE(testing::Message() << defeated << " megabosses defeated");
        Game g;
        wave_world(g, 2024 + defeated, defeated);
        spawn_wave(g);
        const WaveModel m(2024 + defeated, 6, defeated);
        EXPECT_EQ(g.seed, m.s);
        ASSERT_EQ(g.units.size(), 1 + m.units.size());

        const Unit& boss = *g.units[1];
        EXPECT_EQ(boss.affinity, -1);
        EXPECT_TRUE(boss.flags & unit_megaboss);
        EXPECT_EQ(boss.hit_points, 100 + 50 * defeated + 20 * stat(g, boss, power_toughness));
        EXPECT_EQ(boss.max_hit_points, boss.hit_points);

        for (std::size_t i = 0; i < m.units.size(); ++i) {
            const Unit& u = *g.units[i + 1];
            const ModelUnit& want = m.units[i];
            ASSERT_EQ(std::tuple(u.kind, u.x, u.y, u.phase, u.links),
                      std::tuple(want.kind, want.x, want.y, want.phase, want.links))
                << "unit " << i + 1;
            EXPECT_EQ(u.faction, 6);
            if (i == 0) continue;
            EXPECT_FALSE(u.flags & unit_megaboss);
            EXPECT_EQ(static_cast<bool>(u.flags & unit_swift), u.kind == unit_ooze);
            EXPECT_EQ(u.affinity, -1);
            // Fighters are finished with their toughness; fliers and oozes keep 3 hit points.
            const int base = u.kind == unit_enemy_general ? 10 : u.kind == unit_boss ? 50 : 3;
            const bool fighter = u.kind != unit_enemy_flier && u.kind != unit_ooze;
            EXPECT_EQ(u.hit_points, base + (fighter ? stat(g, u, power_toughness) : 0));
            EXPECT_EQ(u.max_hit_points, u.hit_points);
            EXPECT_EQ(u.ammo, stat(g, u, power_marksmanship) > 0 ? 1 : 10);
        }
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
