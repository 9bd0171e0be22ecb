// The late game at full scale: every cap reached, a megaboss wave on the map and the effect
// list at its ceiling, played from the benchmarks' seeded worlds.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "bench_worlds.h"
#include "flow/game_frame.h"
#include "world/game_hash.h"

namespace qm {
namespace {

using Pairs = std::vector<std::pair<int, std::uint64_t>>;

// Plays the late game from its seed and compares the whole-state hash with the checked-in
// (frame, hash) pairs; frame -1 is the world as made.
void play_against(std::uint32_t seed, int faction, const Pairs& expected) {
    bench::QuietTerminal terminal;
    auto game = std::make_unique<Game>();
    bench::full_world(*game, terminal, seed, faction);
    ASSERT_GT(game->units.size(), 3000u);
    ASSERT_GT(game->effects.size(), 1500u);
    auto next = expected.begin();
    for (int f = -1; next != expected.end(); ++f) {
        const WorldOutcome outcome = f >= 0 ? world_step(*game) : WorldOutcome::carry_on;
        if (f == next->first) {
            EXPECT_EQ(game_hash(*game), next->second) << "seed " << seed << ", frame " << f;
            ++next;
        }
        ASSERT_TRUE(outcome == WorldOutcome::carry_on || next == expected.end()) << "ended at frame " << f;
        if (f >= 0) game->frame_counter = (game->frame_counter + 1) % 10000;
    }
}

// Taken from the game as it played when every walk still had a plain twin beside the index
// built afresh each frame, and both gave these. Faction 7 shoots plain bolts; 4 burns, 5 harms at a distance, 13
// conjures clouds and 14 chains: each power's bolts and clones take their own walks.
TEST(LateGame, PlaysAsCheckedIn) {
    const std::pair<std::uint32_t, Pairs> games[] = {
        {7, {{-1, 16025148949521867521ull}, {0, 18292777268344886613ull}, {249, 4284645076045071864ull},
             {499, 2041697908196535388ull}, {749, 7088603822875279736ull}, {999, 13900404520530154772ull},
             {1249, 2664001044358343030ull}}},
        {4, {{-1, 814700130013896008ull}, {0, 15771145147539327564ull}, {249, 3335167439519040269ull}}},
        {5, {{-1, 10294517198955381798ull}, {0, 16545241743718096505ull}, {249, 11250982274737696463ull}}},
        {13, {{-1, 10028227820689369722ull}, {0, 4755878860397163823ull}, {249, 10314540443132923316ull}}},
        {14, {{-1, 14904696963859535700ull}, {0, 2546388573242898004ull}, {249, 4948620706666610166ull}}},
    };
    for (const auto& [faction, pairs] : games) {
        const std::uint32_t seed = faction == 7 ? 1 : faction;
        play_against(seed, static_cast<int>(faction), pairs);
    }
}

}  // namespace
}  // namespace qm
