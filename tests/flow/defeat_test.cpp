#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "flow/defeat.h"
#include "flow/sector_assignment.h"
#include "records/statistics.h"
#include "support/scripted_terminal.h"
#include "world/lists.h"

namespace qm {
namespace {

const std::string notice = "The citizens under your charge have all been slain.";
const std::string question = "Would you like to play again?  (Y - Yes, N or ESC - Quit)";

bool shows(const std::string& frame, const std::string& text) { return frame.find(text) != std::string::npos; }

void lost_game(Game& g, test::ScriptedTerminal& t) {
    g.terminal = &t;
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
    lost_game(g, t);
    t.keys_at(0, {'y'});  // the notice waits for 'h'
    t.keys_at(2, {'h'});
    t.keys_at(3, {'h'});  // the question waits for 'y' or 'n'
    t.keys_at(5, {'Y'});
    std::uint32_t s = g.seed;
    EXPECT_FALSE(defeat(g));

    ASSERT_EQ(t.frames(), 6u);
    for (std::size_t f = 0; f < 3; ++f) EXPECT_EQ(t.frame_text(f).substr(11 * 81 + 14, notice.size()), notice);
    EXPECT_TRUE(shows(t.frame_text(2), "Press H to continue."));
    for (std::size_t f = 3; f < 6; ++f) {
        EXPECT_EQ(t.frame_text(f).substr(13 * 81 + 11, question.size()), question);
        EXPECT_TRUE(shows(t.frame_text(f), "There are more bouncing commas in need of care!"));
    }

    EXPECT_EQ(std::tuple(g.game_mode, g.player_faction), std::tuple(0, 7));
    EXPECT_TRUE(g.units.empty() && g.buildings.empty() && g.effects.empty());
    EXPECT_TRUE(std::all_of(g.map.begin(), g.map.end(), [](const Cell& c) { return c == open_ground; }));
    EXPECT_EQ(std::tuple(g.ooze_store[12], g.cycle_ooze[12]), std::tuple(0, 0));
    EXPECT_EQ(g.current_statistics.counters[stat_total_spent], 0u);
    EXPECT_EQ(g.record_statistics.counters[stat_total_spent], 3u);
    const int next_type = random_below(s, 16);
    EXPECT_EQ(std::tuple(g.megabosses_defeated, g.megaboss_type, g.stage, g.more_sectors, g.wave_countdown),
              std::tuple(0, next_type, 1, std::uint8_t{1}, -1));
    EXPECT_EQ(std::tuple(g.sweep_column, g.frame_counter, g.open_menu, g.bar_row),
              std::tuple(-1, 0, -1, std::uint8_t{0}));
    EXPECT_EQ(g.seed, s);

    t.idle_frames_before_escape = 1;
    EXPECT_FALSE(sector_assignment_frame(g));
    EXPECT_TRUE(shows(t.last_frame(), "Light Division"));
}

TEST(Defeat, EscapeOrNoQuitsWithoutTheReset) {
    const std::vector<std::vector<int>> answers{{27}, {'h', 'n'}, {'H', 27}};
    for (const auto& keys : answers) {
        Game g;
        test::ScriptedTerminal t;
        lost_game(g, t);
        for (std::size_t i = 0; i < keys.size(); ++i) t.keys_at(i, {keys[i]});
        EXPECT_TRUE(defeat(g));
        EXPECT_EQ(t.frames(), keys.size());
        EXPECT_EQ(shows(t.last_frame(), question), keys.size() == 2);
        EXPECT_EQ(g.units.size(), 3u);
        EXPECT_EQ(g.game_mode, 1);
    }
}

}  // namespace
}  // namespace qm
