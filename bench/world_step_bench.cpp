// The world step of a frame (units, buildings, effects, the sweep and megaboss checks, the
// census) on seeded worlds, timed frame by frame. A lost game or a beaten megaboss starts the
// world afresh outside the timing; the full world is also made afresh every few frames, so
// that every timed frame sees it near its caps.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "bench_worlds.h"
#include "flow/game_frame.h"
#include "frame_timing.h"

namespace qm::bench {
namespace {

using MakeWorld = void (*)(Game&, Terminal&, std::uint32_t, int);

// Smallest and largest of each population over the timed frames.
struct CensusRange {
    Census low, high;
    bool any = false;
    void add(const Census& c) {
        if (!any) {
            low = high = c;
            any = true;
            return;
        }
        auto fold = [](int& lo, int& hi, int v) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        };
        fold(low.units, high.units, c.units);
        fold(low.oozes, high.oozes, c.oozes);
        fold(low.citizens, high.citizens, c.citizens);
        fold(low.enemy_fighters, high.enemy_fighters, c.enemy_fighters);
        fold(low.enemy_fliers, high.enemy_fliers, c.enemy_fliers);
        fold(low.own_fighters, high.own_fighters, c.own_fighters);
        fold(low.own_fliers, high.own_fliers, c.own_fliers);
        fold(low.bosses, high.bosses, c.bosses);
        fold(low.megabosses, high.megabosses, c.megabosses);
        fold(low.buildings, high.buildings, c.buildings);
        fold(low.effects, high.effects, c.effects);
        fold(low.drops, high.drops, c.drops);
        fold(low.shots, high.shots, c.shots);
        fold(low.bolts, high.bolts, c.bolts);
        fold(low.clouds, high.clouds, c.clouds);
        fold(low.fires, high.fires, c.fires);
    }
};

// frames_per_world 0: one world for as long as it lasts.
void run_world_steps(benchmark::State& state, const char* name, MakeWorld make, int frames_per_world,
                     bool vary_faction) {
    QuietTerminal terminal;
    std::unique_ptr<Game> game;
    std::uint32_t seed = 0;
    int frames_left = 0;
    auto fresh = [&] {
        game = std::make_unique<Game>();
        ++seed;
        make(*game, terminal, seed, vary_faction ? static_cast<int>(seed % 16) : 7);
        frames_left = frames_per_world;
    };
    fresh();
    FrameTimes times;
    CensusRange range;
    for (auto _ : state) {
        range.add(take_census(*game));
        const double cpu = thread_cpu_us();
        const auto start = FrameTimes::Clock::now();
        const WorldOutcome outcome = world_step(*game);
        game->frame_counter = (game->frame_counter + 1) % 10000;
        const auto took = FrameTimes::Clock::now() - start;
        times.add_cpu(thread_cpu_us() - cpu);
        state.SetIterationTime(std::chrono::duration<double>(took).count());
        times.add(took);
        if (outcome != WorldOutcome::carry_on || (frames_per_world > 0 && --frames_left == 0)) fresh();
    }
    times.report(state);
    state.counters["worlds"] = seed;
    state.counters["units_min"] = range.low.units;
    state.counters["effects_min"] = range.low.effects;
    std::fprintf(stderr, "%s timed frames: fewest %s\n", name, describe(range.low).c_str());
    std::fprintf(stderr, "%s timed frames: most   %s\n", name, describe(range.high).c_str());
}

void BM_world_step_start(benchmark::State& state) { run_world_steps(state, "BM_world_step/start", start_world, 0, false); }
void BM_world_step_open_map(benchmark::State& state) { run_world_steps(state, "BM_world_step/open_map", open_map_world, 0, false); }
// Drops live 30 to 59 frames: 25 frames from a fresh world keep the effect list at its ceiling.
void BM_world_step_full(benchmark::State& state) { run_world_steps(state, "BM_world_step/full", full_world, 25, true); }

BENCHMARK(BM_world_step_start)->Name("BM_world_step/start")->UseManualTime()->Iterations(3000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_world_step_open_map)->Name("BM_world_step/open_map")->UseManualTime()->Iterations(3000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_world_step_full)->Name("BM_world_step/full")->UseManualTime()->Iterations(800)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qm::bench

BENCHMARK_MAIN();
