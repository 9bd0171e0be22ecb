#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "flow/defeat.h"
#include "flow/sector_assignment.h"
#include "records/score_file.h"
#include "records/statistics.h"
#include "buildings/building_fixtures.h"
#include "support/scripted_terminal.h"
#include "world/lists.h"

namespace qm {
namespace {

const std::string notice = "The citizens under your charge have all been slain.";
const std::string question = "Would you like to play again?  (Y - Yes, N or ESC - Quit)";

bool shows(const std::string& frame, const std::string& text) { return frame.find(text) != std::string::npos; }

// Each test keeps its score file in a directory of its own.
std::filesystem::path fresh_score_directory(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() / ("quillmire-defeat-" + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

void lost_game(Game& g, test::ScriptedTerminal& t, const std::string& name) {
    g.terminal = &t;
    g.score_directory = fresh_score_directory(name).string();
    g.seed = 8080;
    g.player_faction = 12;
    start_new_game(g);
    append_effect(g, fresh_effect());
    map_cell(g, 300, 100) = Cell{234, 0, 7, 0};
    g.ooze_store[12] = 40;
    g.cycle_ooze[12] = 60;
    bump(g.current_statistics, stat_total_spent, 5);
    bump(g.record_statistics, stat_total_spent, 3);
    g.megabosses_defeated = 2;
    g.stage = 4;
    g.sweep_column = 200;
    g.more_sectors = 0;
    g.wave_countdown = 17;
    g.frame_counter = 99;
    g.open_menu = 1;
    g.bar_row = 24;
}

TEST(Defeat, NoticeThenReplayBackToSectorAssignmentWithFaction7) {
    Game g;
    test::ScriptedTerminal t;
    lost_game(g, t, "replay");
    t.keys_at(0, {'y'});  // the notice waits for 'h'
    // Then 'h', the name of the new record holder, the records screen left with ESC, and the
    // question, which waits for 'y' or 'n'.
    t.type({'h', 'A', 'L', '\n', 27, 'h', 'Y'});
    EXPECT_FALSE(defeat(g));

    for (std::size_t f = 0; f < 2; ++f) EXPECT_EQ(t.frame_text(f).substr(11 * 81 + 14, notice.size()), notice);
    EXPECT_TRUE(shows(t.frame_text(1), "Press H to continue."));
    EXPECT_FALSE(shows(t.frame_text(2), notice));
    const std::size_t last = t.frames() - 1;
    for (std::size_t f = last - 1; f <= last; ++f) {
        EXPECT_EQ(t.frame_text(f).substr(13 * 81 + 11, question.size()), question);
        EXPECT_TRUE(shows(t.frame_text(f), "There are more bouncing commas in need of care!"));
    }
    EXPECT_FALSE(shows(t.frame_text(last - 2), question));

    // The beaten record was saved with its holder.
    Game reader;
    load_records(reader, g.score_directory);
    EXPECT_EQ(reader.record_statistics.counters[stat_total_spent], 5u);
    EXPECT_EQ(std::string(reader.record_statistics.holders[stat_total_spent].data()), "AL");

    EXPECT_EQ(std::tuple(g.game_mode, g.player_faction), std::tuple(0, 7));
    EXPECT_TRUE(g.units.empty() && g.buildings.empty() && g.effects.empty());
    EXPECT_TRUE(std::all_of(g.map.begin(), g.map.end(), [](const Cell& c) { return c == open_ground; }));
    EXPECT_EQ(std::tuple(g.ooze_store[12], g.cycle_ooze[12]), std::tuple(0, 0));
    EXPECT_EQ(g.current_statistics.counters[stat_total_spent], 0u);
    EXPECT_EQ(g.record_statistics.counters[stat_total_spent], 5u);  // raised and kept
    EXPECT_EQ(std::tuple(g.megabosses_defeated, g.stage, g.more_sectors, g.wave_countdown),
              std::tuple(0, 1, std::uint8_t{1}, -1));
    EXPECT_EQ(std::tuple(g.sweep_column, g.frame_counter, g.open_menu, g.bar_row),
              std::tuple(-1, 0, -1, std::uint8_t{0}));

    t.idle_frames_before_escape = 1;
    EXPECT_FALSE(sector_assignment_frame(g));
    EXPECT_TRUE(shows(t.last_frame(), "Light Division"));
}

TEST(Defeat, EscapeOrNoQuitsWithoutTheReset) {
    // ESC at the notice; 'n' or ESC at the question after the name and the records.
    const std::vector<std::vector<int>> answers{{27}, {'h', '\n', 27, 'n'}, {'H', '\n', 27, 27}};
    for (const auto& keys : answers) {
        Game g;
        test::ScriptedTerminal t;
        lost_game(g, t, "quit");
        t.type(keys);
        EXPECT_TRUE(defeat(g));
        EXPECT_EQ(shows(t.last_frame(), question), keys.size() > 1);
        EXPECT_EQ(shows(t.last_frame(), notice), keys.size() == 1);
        EXPECT_EQ(g.units.size(), 3u);
        EXPECT_EQ(g.game_mode, 1);
    }
}

TEST(Defeat, NothingBeatenShowsTheRecordsButAsksNoNameAndSavesNothing) {
    Game g;
    test::ScriptedTerminal t;
    lost_game(g, t, "unbeaten");
    g.current_statistics = StatisticsBlock{};
    t.type({'h', 27, 'y'});
    EXPECT_FALSE(defeat(g));
    bool records_shown = false;
    for (std::size_t f = 0; f < t.frames(); ++f) {
        EXPECT_FALSE(shows(t.frame_text(f), "What is your name?")) << f;
        records_shown = records_shown || shows(t.frame_text(f), "Press space to continue.");
    }
    EXPECT_TRUE(records_shown);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(g.score_directory) / "score.dat"));
    EXPECT_EQ(g.record_statistics.counters[stat_total_spent], 3u);
}

TEST(Defeat, ReplayResetDrawsOnlyTheNextMegabossAndLeavesViewBoundsAndGrid) {
    Game g;
    test::ScriptedTerminal t;
    lost_game(g, t, "reset");
    g.view_x = 200;
    g.view_y = 37;
    g.open_min_x = 80;
    g.open_max_y = 75;
    const auto grid = g.sector_grid;
    for (int type = 0; type < 16; ++type) {
        // The type comes from the generator running on; the one draw of the reset is its.
        g.seed = test::seed_giving(16, type, 3);
        ASSERT_NE(g.seed, 0u);
        std::uint32_t s = g.seed;
        random_below(s, 16);
        reset_for_replay(g);
        EXPECT_EQ(g.megaboss_type, type);
        EXPECT_EQ(g.seed, s);
    }
    EXPECT_EQ(std::tuple(g.view_x, g.view_y, g.open_min_x, g.open_max_x, g.open_min_y, g.open_max_y),
              std::tuple(200, 37, 80, 160, 50, 75));
    EXPECT_EQ(g.sector_grid, grid);
}

}  // namespace
}  // namespace qm
