#include <gtest/gtest.h>

#include <filesystem>
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
    // A lost game reads and may write the records: never the test's working directory.
    game->score_directory = (std::filesystem::temp_directory_path() / "quillmire-replay").string();
    std::filesystem::create_directories(game->score_directory);
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

// Any change of behaviour moves these; a change that should move them is explained in its
// commit, and the new values are taken from this test's failure message.
TEST(Replay, CheckedInHashesOfALongerGame) {
    const auto hashes = play(7, 6000);
    ASSERT_EQ(hashes.size(), 6000u);
    const std::pair<std::size_t, std::uint64_t> expected[] = {
        {999, 3102127802938912111ull},
        {2999, 7728306738543083918ull},
        {5999, 17676176442876150638ull},
    };
    for (const auto& [frame, hash] : expected) {
        EXPECT_EQ(hashes[frame], hash) << "frame " << frame;
    }
}

}  // namespace
}  // namespace qm
