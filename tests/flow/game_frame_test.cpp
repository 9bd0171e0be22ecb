#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "console/startup.h"
#include "flow/game_frame.h"
#include "flow/sector_assignment.h"
#include "records/score_file.h"
#include "records/statistics.h"
#include "support/scripted_terminal.h"
#include "support/world_builders.h"
#include "world/lists.h"

namespace qm {
namespace {

// A new game of faction 3 keeping its records in a directory of its own.
struct FrameGame {
    Game g;
    test::ScriptedTerminal terminal;
    explicit FrameGame(const std::string& name = "frame") {
        g.score_directory = (std::filesystem::temp_directory_path() / ("quillmire-" + name)).string();
        std::filesystem::remove_all(g.score_directory);
        std::filesystem::create_directories(g.score_directory);
        g.terminal = &terminal;
        terminal.idle_frames_before_escape = 100000;
        terminal.set_realtime_input(true);
        reset_game_state(g);
        g.player_faction = 3;
        start_new_game(g);
    }
    // One frame with these keys read one per call; true when it quit.
    bool frame(std::vector<int> keys = {}) {
        terminal.type(std::move(keys));
        return game_frame(g);
    }
};

TEST(Defeat, LastCitizenLostThroughTheRecordsAndReplayToFaction7) {
    FrameGame f("defeat");
    Game& g = f.g;
    remove_unit(g, 2);
    remove_unit(g, 1);
    bump(g.current_statistics, stat_total_spent, 5);
    g.ooze_store[3] = g.cycle_ooze[3] = 40;
    // The notice waits for 'h'; a name for the beaten record; the records left with ESC; the
    // question waits for 'y'.
    EXPECT_FALSE(f.frame({key_none, 'y', 'h', 'A', 'L', '\n', 27, 'h', 'Y'}));
    EXPECT_NE(f.terminal.frame_text(2).find("The citizens under your charge have all been slain."), std::string::npos);
    EXPECT_EQ(f.terminal.last_row(13).substr(11, 57), "Would you like to play again?  (Y - Yes, N or ESC - Quit)");
    Game reader;
    load_records(reader, g.score_directory);
    EXPECT_EQ(std::tuple(reader.record_statistics.counters[stat_total_spent],
                         std::string(reader.record_statistics.holders[stat_total_spent].data())),
              std::tuple(5u, "AL"));
    EXPECT_EQ(std::tuple(g.game_mode, g.player_faction, g.units.size(), g.buildings.size(),
                         g.current_statistics.counters[stat_total_spent], g.record_statistics.counters[stat_total_spent]),
              std::tuple(0, 7, 0u, 0u, 0u, 5u));
    EXPECT_EQ(std::tuple(g.ooze_store[3], g.cycle_ooze[3]), std::tuple(0, 0));
    EXPECT_TRUE(std::all_of(g.map.begin(), g.map.end(), [](const Cell& c) { return c == open_ground; }));

    // A save that failed is told two rows below the question, in bright red, with the reason.
    FrameGame d("unsaved");
    std::filesystem::create_directory(std::filesystem::path(d.g.score_directory) / "score.dat");
    remove_unit(d.g, 2), remove_unit(d.g, 1);
    bump(d.g.current_statistics, stat_total_spent, 5);
    EXPECT_TRUE(d.frame({key_none, 'h', '\n', 27, key_escape}));
    const Cell& first = d.terminal.last_cell(16, 15);
    EXPECT_EQ(std::tuple(d.terminal.last_row(15).substr(16, 47), first.fg, first.bright),
              std::tuple("Your records could not be saved: Is a directory", 4, 1));
}

}  // namespace
}  // namespace qm
