#include <gtest/gtest.h>

#include <string>

#include "records/records_support.h"
#include "records/score_file.h"
#include "records/statistics.h"

namespace qm {
namespace {

using test::holder_of;

// The counter groups with the byte ranges the score file gives them, as written down for
// the file format.
struct CounterGroup {
    const char* name;
    int first;
    int count;
    std::size_t counter_first_byte, counter_last_byte;
    std::size_t holder_first_byte, holder_last_byte;
};

constexpr CounterGroup counter_groups[] = {
    {"leadership levels", stat_leadership_levels, 16, 4, 67, 1796, 2035},
    {"health level", stat_health_level, 1, 68, 71, 2036, 2050},
    {"weapon level", stat_weapon_level, 1, 72, 75, 2051, 2065},
    {"experience", stat_experience, 1, 76, 79, 2066, 2080},
    {"gathered", stat_gathered, 16, 80, 143, 2081, 2320},
    {"spent", stat_spent, 16, 144, 207, 2321, 2560},
    {"total gathered", stat_total_gathered, 1, 208, 211, 2561, 2575},
    {"total spent", stat_total_spent, 1, 212, 215, 2576, 2590},
    {"deaths", stat_deaths, 160, 216, 855, 2591, 4990},
    {"recruits", stat_recruits, 160, 856, 1495, 4991, 7390},
    {"deaths by kind", stat_deaths_by_kind, 10, 1496, 1535, 7391, 7540},
    {"recruits by kind", stat_recruits_by_kind, 10, 1536, 1575, 7541, 7690},
    {"total destroyed", stat_total_destroyed, 1, 1576, 1579, 7691, 7705},
    {"total lost", stat_total_lost, 1, 1580, 1583, 7706, 7720},
    {"total recruits", stat_total_recruits, 1, 1584, 1587, 7721, 7735},
    {"barracks razed", stat_barracks_razed, 16, 1588, 1651, 7736, 7975},
    {"barracks razed total", stat_barracks_razed_total, 1, 1652, 1655, 7976, 7990},
    {"airfields razed", stat_airfields_razed, 16, 1656, 1719, 7991, 8230},
    {"airfields razed total", stat_airfields_razed_total, 1, 1720, 1723, 8231, 8245},
    {"total razed", stat_total_razed, 1, 1724, 1727, 8246, 8260},
    {"megaboss kills", stat_megaboss_kills, 16, 1728, 1791, 8261, 8500},
    {"sectors cleared", stat_sectors_cleared, 1, 1792, 1795, 8501, 8515},
};

TEST(StatisticsLayout, GroupsTileTheCountersAndMatchTheFileOffsets) {
    int next = 0;
    for (const CounterGroup& g : counter_groups) {
        SCOPED_TRACE(g.name);
        EXPECT_EQ(g.first, next);
        next = g.first + g.count;
        EXPECT_EQ(4 + 4 * static_cast<std::size_t>(g.first), g.counter_first_byte);
        EXPECT_EQ(4 + 4 * static_cast<std::size_t>(next) - 1, g.counter_last_byte);
        EXPECT_EQ(1796 + 15 * static_cast<std::size_t>(g.first), g.holder_first_byte);
        EXPECT_EQ(1796 + 15 * static_cast<std::size_t>(next) - 1, g.holder_last_byte);
    }
    EXPECT_EQ(next, counter_count);

    EXPECT_EQ(deaths_index(0, 0), 53);
    EXPECT_EQ(deaths_index(15, 9), 212);
    EXPECT_EQ(deaths_index(4, 6), 53 + 40 + 6);
    EXPECT_EQ(recruits_index(0, 0), 213);
    EXPECT_EQ(recruits_index(15, 9), 372);
    EXPECT_EQ(recruits_index(9, 2), 213 + 92);

    // Every counter and holder lands at its bytes in a saved file.
    test::ScoreDirectory dir;
    Game g;
    for (int i = 0; i < counter_count; ++i) {
        g.record_statistics.counters[i] = 0xA0000000u + static_cast<std::uint32_t>(i) * 0x10101u;
        g.record_statistics.holders[i] = holder_of("N" + std::to_string(i));
    }
    ASSERT_TRUE(save_records(g, dir.path()));
    const std::vector<std::uint8_t> bytes = dir.read_score_file();
    ASSERT_EQ(bytes.size(), 8516u);
    EXPECT_EQ(test::le32_at(bytes, 0), 10100u);
    for (const CounterGroup& grp : counter_groups) {
        SCOPED_TRACE(grp.name);
        for (int i = grp.first; i < grp.first + grp.count; ++i) {
            const std::size_t at = grp.counter_first_byte + 4 * static_cast<std::size_t>(i - grp.first);
            ASSERT_EQ(test::le32_at(bytes, at), g.record_statistics.counters[i]) << i;
            const std::size_t name_at = grp.holder_first_byte + 15 * static_cast<std::size_t>(i - grp.first);
            ASSERT_EQ(std::string(reinterpret_cast<const char*>(&bytes[name_at])), "N" + std::to_string(i));
        }
    }
}

TEST(StatisticsEvents, SidesMaximaAndSaturation) {
    Game g;
    const auto& c = g.current_statistics.counters;

    // Deaths count by side: the player unit and citizens are lost, oozes and bosses destroyed.
    record_death(g, 7, unit_player);
    record_death(g, 7, unit_citizen);
    record_death(g, 3, unit_ooze);
    record_death(g, 3, unit_boss);
    EXPECT_EQ(c[deaths_index(7, unit_player)], 1u);
    EXPECT_EQ(c[stat_deaths_by_kind + unit_citizen], 1u);
    EXPECT_EQ(c[stat_total_lost], 2u);
    EXPECT_EQ(c[stat_total_destroyed], 2u);

    // Only barracks and airfields count as razed.
    const StatisticsBlock before = g.current_statistics;
    for (int kind : {building_node, building_corrupted_node, building_tower, building_key, building_barricade}) {
        record_razing(g, kind, 5);
    }
    EXPECT_EQ(g.current_statistics.counters, before.counters);

    // The census keeps maxima: a smaller count later lowers nothing.
    std::int32_t census[16] = {};
    census[4] = 6;
    record_census(g, census, 6);
    census[4] = 2;
    census[9] = 3;
    record_census(g, census, 5);
    EXPECT_EQ(c[recruits_index(4, unit_citizen)], 6u);
    EXPECT_EQ(c[recruits_index(9, unit_citizen)], 3u);
    EXPECT_EQ(c[stat_recruits_by_kind + unit_citizen], 6u);

    record_megaboss_defeat(g, 11);
    EXPECT_EQ(c[stat_megaboss_kills + 11], 1u);
    EXPECT_EQ(c[stat_sectors_cleared], 1u);

    // A counter at its largest value stays there rather than wrapping to 0 and losing a record.
    constexpr std::uint32_t top = 0xFFFFFFFFu;
    g.current_statistics.counters[stat_total_gathered] = top;
    g.current_statistics.counters[stat_total_spent] = top - 10;
    g.current_statistics.counters[deaths_index(3, unit_ooze)] = top;
    record_gathered(g, 2);
    record_purchase(g, 2, 25);
    record_death(g, 3, unit_ooze);
    EXPECT_EQ(c[stat_total_gathered], top);
    EXPECT_EQ(c[stat_gathered + 2], 1u);
    EXPECT_EQ(c[stat_total_spent], top);
    EXPECT_EQ(c[stat_spent + 2], 25u);
    EXPECT_EQ(c[deaths_index(3, unit_ooze)], top);
    EXPECT_EQ(g.ooze_store[2], 1 - 25);
    EXPECT_EQ(g.cycle_ooze[2], 1);

    // A record is beaten only by a strictly greater value.
    StatisticsBlock record = g.current_statistics;
    EXPECT_FALSE(any_record_beaten(g.current_statistics, record));
    record.counters[stat_sectors_cleared] = 0;
    EXPECT_TRUE(any_record_beaten(g.current_statistics, record));
}

}  // namespace
}  // namespace qm
