// The late game played with the indexes and with the plain walks side by side for three
// thousand frames. The game's core is built optimised and without the sanitizers here: at
// full scale the plain walks alone would take minutes in the sanitizer build.
#include <gtest/gtest.h>

#include <memory>

#include "bench_worlds.h"
#include "flow/game_frame.h"
#include "world/game_hash.h"

namespace qm {
namespace {

// The late game played with the indexes and with the plain walks side by side: the whole
// state must agree after every frame.
void play_side_by_side(std::uint32_t seed, int faction, int frames) {
    bench::QuietTerminal t1, t2;
    auto indexed = std::make_unique<Game>();
    auto plain = std::make_unique<Game>();
    plain->plain_scans = true;
    bench::full_world(*indexed, t1, seed, faction);
    bench::full_world(*plain, t2, seed, faction);
    ASSERT_EQ(game_hash(*indexed), game_hash(*plain)) << "the worlds as made";
    ASSERT_GT(indexed->units.size(), 3000u);
    ASSERT_GT(indexed->effects.size(), 1500u);
    for (int f = 0; f < frames; ++f) {
        const WorldOutcome a = world_step(*indexed);
        const WorldOutcome b = world_step(*plain);
        ASSERT_EQ(a, b) << "frame " << f;
        ASSERT_EQ(game_hash(*indexed), game_hash(*plain)) << "seed " << seed << ", frame " << f;
        if (a != WorldOutcome::carry_on) return;
        indexed->frame_counter = plain->frame_counter = (indexed->frame_counter + 1) % 10000;
    }
}

TEST(WorldIndex, TheLateGamePlaysTheSameWithAndWithoutTheIndexes) {
    // Faction 7 shoots plain bolts; 4 burns, 5 harms at a distance, 13 conjures clouds and
    // 14 chains: each power's bolts and clones take their own walks.
    play_side_by_side(1, 7, 2000);
    for (int faction : {4, 5, 13, 14}) play_side_by_side(static_cast<std::uint32_t>(faction), faction, 250);
}

}  // namespace
}  // namespace qm
