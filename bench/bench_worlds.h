// Seeded worlds for the benchmarks, brought about through the game's own functions: a new
// game, the whole map opened stage by stage, and the late game with every group at its cap.
#pragma once

#include <cstdint>
#include <string>

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

// A new game for the faction on the given seed.
void start_world(Game& game, Terminal& terminal, std::uint32_t seed, int faction = 7);

// A new game with every stage opened by the game's own opening: all 24 sectors with their
// corrupted nodes and guardians, barracks and airfields.
void open_map_world(Game& game, Terminal& terminal, std::uint32_t seed, int faction = 7);

// The late game after ten megabosses: every sector open, 500 oozes, 500 enemy soldiers and
// generals and 500 enemy fliers bred at their buildings, 500 own soldiers and generals and 500
// own fliers bought at the player's node on the source, the megaboss wave with its escort and
// ten extra groups, a few frames run so that targets are chosen and shots fly, and then the
// effect list filled to the 1500 ceiling with drops and topped with shots, bolts, clouds and
// fires.
void full_world(Game& game, Terminal& terminal, std::uint32_t seed, int faction = 7);

// The populations a benchmark reports.
struct Census {
    int units = 0, oozes = 0, citizens = 0, enemy_fighters = 0, enemy_fliers = 0;
    int own_fighters = 0, own_fliers = 0, bosses = 0, megabosses = 0;
    int buildings = 0, effects = 0, drops = 0, shots = 0, bolts = 0, clouds = 0, fires = 0;
};
Census take_census(const Game& game);
std::string describe(const Census& census);

}  // namespace qm::bench
