// Seeded worlds for the benchmarks, brought about through the game's own functions.
#pragma once

#include <cstdint>
#include <memory>

#include "console/terminal.h"
#include "world/game.h"

namespace qm::bench {

// A terminal that shows nothing and reads no key; its clock moves 10 ms per wait.
class QuietTerminal final : public Terminal {
public:
    void present(const ScreenBuffer&) override {}
    int read_key() override { return 0; }
    std::uint32_t tick_ms() override { return clock; }
    void wait_until(std::uint32_t tick) override { clock = tick; }
    void set_realtime_input(bool) override {}
    std::uint32_t clock = 1000;
};

// A new game for faction 7 on the given seed.
void start_world(Game& game, Terminal& terminal, std::uint32_t seed);
// The start sector with a few hundred units of every kind fighting.
void crowded_world(Game& game, Terminal& terminal, std::uint32_t seed);

}  // namespace qm::bench
