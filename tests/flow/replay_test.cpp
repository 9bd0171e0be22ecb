#include <gtest/gtest.h>

#include <vector>

#include "console/startup.h"
#include "flow/game_frame.h"
#include "flow/sector_assignment.h"
#include "support/scripted_terminal.h"
#include "world/game_hash.h"

namespace qm {
namespace {

// A player who wanders and pokes at things: one key or none per frame, from its own generator
// so the game's draws are not disturbed.
std::vector<int> wandering_keys(std::uint32_t seed, int frames) {
    static constexpr char keys[] = "78946123qweadzxc";
    std::vector<int> out;
    for (int i = 0; i < frames; ++i) {
        seed = seed * 1103515245u + 12345u;
        const unsigned r = (seed >> 16) & 0x7FFF;
        out.push_back(r % 3 == 0 ? keys[r / 3 % 16] : 0);
    }
    return out;
}

// Plays a seeded game frame by frame and returns the whole-state hash after each frame.
std::vector<std::uint64_t> play(std::uint32_t seed, int frames) {
    auto game = std::make_unique<Game>();
    test::ScriptedTerminal terminal;
    game->terminal = &terminal;
    game->seed = seed;
    terminal.set_realtime_input(true);
    reset_game_state(*game);
    start_new_game(*game);
    const std::vector<int> keys = wandering_keys(seed, frames);
    for (int i = 0; i < frames; ++i) terminal.keys_at(static_cast<std::size_t>(i), {keys[i]});
    // Keeps the screen's clock moving as a real one would, for the animations.
    std::vector<std::uint64_t> hashes;
    for (int i = 0; i < frames; ++i) {
        if (game_frame(*game)) break;
        terminal.clock += 3;
        hashes.push_back(game_hash(*game));
    }
    return hashes;
}

TEST(Replay, OneSeedAndOneKeySequenceGiveOneGame) {
    const auto first = play(20261207, 3000);
    const auto second = play(20261207, 3000);
    ASSERT_EQ(first.size(), 3000u);
    ASSERT_EQ(first, second);
    const auto other = play(20261208, 50);
    EXPECT_NE(other.back(), first[49]);
}

}  // namespace
}  // namespace qm
