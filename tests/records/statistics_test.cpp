#include <gtest/gtest.h>

#include <string>

#include "records/records_support.h"
#include "records/score_file.h"
#include "records/statistics.h"

namespace qm {
namespace {

// The counter groups with the bytes the score file gives them: counters first to last, then
// their holders first to last.
struct CounterGroup {
    std::size_t first, count, counter_first, counter_last, holder_first, holder_last;
};

constexpr CounterGroup counter_groups[] = {
    {stat_leadership_levels, 16, 4, 67, 1796, 2035},   {stat_health_level, 1, 68, 71, 2036, 2050},
    {stat_weapon_level, 1, 72, 75, 2051, 2065},        {stat_experience, 1, 76, 79, 2066, 2080},
    {stat_gathered, 16, 80, 143, 2081, 2320},          {stat_spent, 16, 144, 207, 2321, 2560},
    {stat_total_gathered, 1, 208, 211, 2561, 2575},    {stat_total_spent, 1, 212, 215, 2576, 2590},
    {stat_deaths, 160, 216, 855, 2591, 4990},          {stat_recruits, 160, 856, 1495, 4991, 7390},
    {stat_deaths_by_kind, 10, 1496, 1535, 7391, 7540}, {stat_recruits_by_kind, 10, 1536, 1575, 7541, 7690},
    {stat_total_destroyed, 1, 1576, 1579, 7691, 7705}, {stat_total_lost, 1, 1580, 1583, 7706, 7720},
    {stat_total_recruits, 1, 1584, 1587, 7721, 7735},  {stat_barracks_razed, 16, 1588, 1651, 7736, 7975},
    {stat_barracks_razed_total, 1, 1652, 1655, 7976, 7990}, {stat_airfields_razed, 16, 1656, 1719, 7991, 8230},
    {stat_airfields_razed_total, 1, 1720, 1723, 8231, 8245}, {stat_total_razed, 1, 1724, 1727, 8246, 8260},
    {stat_megaboss_kills, 16, 1728, 1791, 8261, 8500}, {stat_sectors_cleared, 1, 1792, 1795, 8501, 8515},
};

TEST(StatisticsLayout, EveryCounterAndHolderAtItsBytesOfTheScoreFile) {
    std::size_t next = 0;
    for (const CounterGroup& g : counter_groups) {
        EXPECT_EQ(g.first, next);  // the groups tile the counters in the file's order
        next = g.first + g.count;
        EXPECT_EQ(std::tuple(g.counter_first, g.counter_last, g.holder_first, g.holder_last),
                  std::tuple(4 + 4 * g.first, 3 + 4 * next, 1796 + 15 * g.first, 1795 + 15 * next));
    }
    EXPECT_EQ(std::tuple(next, deaths_index(4, 6), recruits_index(15, 9)), std::tuple(448u, 99, 372));

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
