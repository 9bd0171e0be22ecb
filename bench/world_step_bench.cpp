// The world step of a frame (units, buildings, effects, the sweep and megaboss checks, the
// census) on seeded worlds. A lost game or a beaten megaboss starts the world afresh, outside
// the timing.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_worlds.h"
#include "flow/game_frame.h"

namespace qm::bench {
namespace {

template <void (*Make)(Game&, Terminal&, std::uint32_t)>
void BM_world_step(benchmark::State& state) {
    QuietTerminal terminal;
    auto game = std::make_unique<Game>();
    std::uint32_t seed = 1;
    Make(*game, terminal, seed);
    for (auto _ : state) {
        const WorldOutcome outcome = world_step(*game);
        game->frame_counter = (game->frame_counter + 1) % 10000;
        if (outcome != WorldOutcome::carry_on) {
            state.PauseTiming();
            game = std::make_unique<Game>();
            Make(*game, terminal, ++seed);
            state.ResumeTiming();
        }
    }
    state.counters["units"] = static_cast<double>(game->units.size());
    state.counters["effects"] = static_cast<double>(game->effects.size());
}

BENCHMARK(BM_world_step<start_world>)->Name("BM_world_step/start")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_world_step<crowded_world>)->Name("BM_world_step/crowded")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qm::bench

BENCHMARK_MAIN();
