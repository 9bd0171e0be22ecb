#include <gtest/gtest.h>

#include <string>

#include "records/records_support.h"
#include "records/score_file.h"
#include "records/statistics.h"

namespace qm {
namespace {

TEST(StatisticsLayout, EveryCounterAndHolderAtItsBytesOfTheScoreFile) {
    // Deaths and recruits by faction and kind: ten kinds a faction, from counters 53 and 213.
    EXPECT_EQ(std::tuple(deaths_index(4, 6), recruits_index(15, 9)), std::tuple(99, 372));
    // Counter i at byte 4 + 4 i, holder i at byte 1796 + 15 i, the bytes after a holder's NUL
    // included: read and saved again, a file comes back byte for byte.
    test::ScoreDirectory dir;
    auto bytes = test::score_bytes(10100, 0xA0000000u, "N");
    bytes[1796 + 15 * 9 + 14] = 'Q';
    dir.write_score_file(bytes);
    Game g;
    load_records(g, dir.path());
    for (int i = 0; i < counter_count; ++i) ASSERT_EQ(g.record_statistics.counters[i], 0xA0000000u + i) << i;
    EXPECT_EQ(std::string(g.record_statistics.holders[447].data()), "N447");
    std::filesystem::remove(dir.score_file());
    ASSERT_EQ(save_records(g, dir.path()), "");
    EXPECT_EQ(dir.read_score_file(), bytes);
}

}  // namespace
}  // namespace qm
