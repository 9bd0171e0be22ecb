#include <gtest/gtest.h>

#include <map>
#include <string>

#include "console/startup.h"
#include "support/scripted_terminal.h"

namespace qm {
namespace {

TEST(Startup, ResetGivesTheStartValuesWithOneDraw) {
    Game g;
    g.seed = 4242;
    // Whatever a finished game left behind.
    g.cycle_ooze.fill(5);
    g.ooze_store.fill(6);
    g.game_mode = 1;
    g.player_faction = 3;
    g.open_menu = 0;
    g.megabosses_defeated = 2;
    g.stage = 4;
    g.sweep_column = 100;
    g.frame_counter = 77;
    g.more_sectors = 0;
    g.megaboss_type = 99;
    g.bar_row = 24;
    g.wave_countdown = -2;

    reset_game_state(g);

    for (int f = 0; f < 16; ++f) {
        EXPECT_EQ(g.cycle_ooze[f], 0);
        EXPECT_EQ(g.ooze_store[f], 0);
    }
    EXPECT_EQ(g.game_mode, 0);
    EXPECT_EQ(g.player_faction, 7);
    EXPECT_EQ(g.open_menu, -1);
    EXPECT_EQ(g.megabosses_defeated, 0);
    EXPECT_EQ(g.stage, 1);
    EXPECT_EQ(g.sweep_column, -1);
    EXPECT_EQ(g.frame_counter, 0);
    EXPECT_EQ(g.more_sectors, 1);
    EXPECT_EQ(g.bar_row, 0);
    EXPECT_EQ(g.wave_countdown, -1);
    std::uint32_t s = 4242;
    EXPECT_EQ(g.megaboss_type, random_below(s, 16));
    EXPECT_EQ(g.seed, s);  // and no other draw
}

// The title as the player first sees it: the texts centred on their rows, all in white, every
// other row blank; and the title waits for its key with blocking reads.
TEST(Startup, TitleRowsInWhite) {
    Game g;
    test::ScriptedTerminal t;
    t.keys_at(0, {27});
    ASSERT_EQ(run_game(g, t), 0);
    ASSERT_EQ(t.frames(), 1u);
    EXPECT_FALSE(t.realtime);

    const std::map<int, std::string> texts = {
        {4, "Quillmire"},
        {7, "Learn the rules as you go."},
        {16, "Use the arrow keys/number pad to move.  Use Q,W,E,A,D,Z,X and C to interact."},
        {17, "Press S to look at your status."},
        {18, "Press H to look at your high scores now."},
        {20, "Press ESC at any time to quit."},
        {22, "Press any other key now to Play a Game."},
    };
    const ScreenBuffer& shown = t.last_screen();
    for (int row = 0; row < 25; ++row) {
        const std::string line = t.last_row(row);
        const auto text = texts.find(row);
        if (text != texts.end()) {
            const std::size_t left = 39 - (text->second.size() - 1) / 2;
            EXPECT_EQ(line, std::string(left, ' ') + text->second +
                                std::string(80 - left - text->second.size(), ' '))
                << "row " << row;
        } else if (row >= 11 && row <= 13) {
            EXPECT_NE(line, std::string(80, ' ')) << "credit line " << row;  // the credits
        } else {
            EXPECT_EQ(line, std::string(80, ' ')) << "row " << row;
        }
        for (int column = 0; column < 80; ++column) {
            const Cell& cell = shown.at(column, row);
            if (cell.glyph == ' ') continue;
            EXPECT_EQ(cell, (Cell{cell.glyph, 7, 0, 1})) << "row " << row << " column " << column;
        }
    }
}

}  // namespace
}  // namespace qm
