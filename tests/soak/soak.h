// The soak: seeded games played headless by random keys, through defeats, new games and
// megabosses, with the world's invariants checked after every frame and on every modal screen.
#pragma once

#include <cstdint>
#include <string>

#include "world/game.h"

namespace qm::soak {

// What must hold in a game between any two frames, whatever the player pressed.
struct InvariantChecker {
    // The first invariant that does not hold, or nothing.
    std::string check(const Game& game);

    // The map's 50,000 cells are read on every map_period-th check only: where a check comes
    // between screens that cost little (the fuzzer's), reading them every time takes most of it.
    int map_period = 1;

    // The node whose menu is open; the gathered total when the megaboss cycle began, and what
    // tells a new one.
    const Building* menu_node = nullptr;
    std::uint32_t gathered_at_cycle_start = 0;
    std::int32_t last_game_mode = 0, last_megabosses_defeated = 0;
    int checks_since_map = 0;
};

struct SoakOptions {
    std::uint32_t seed = 1;
    std::uint64_t frames = 10000;
    // A game's citizens are struck down after this many frames (drawn between the two); a game
    // that rushes through the stages to the megaboss (one in rush_one_in) lives three times as long.
    int shortest_game = 1500, longest_game = 12000, rush_one_in = 3;
};

struct SoakReport {
    unsigned long long frames = 0, checks = 0, games = 0, megabosses_defeated = 0;
    // Empty when every invariant held to the end; otherwise the seed, the frame and what broke.
    std::string failure;

    void add(const SoakReport& other);
};

// Plays in a scratch directory of its own, where the records keep their "score.dat".
SoakReport run_soak(const SoakOptions& options);

}  // namespace qm::soak
