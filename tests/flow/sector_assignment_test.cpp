#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <tuple>
#include <utility>

#include "console/startup.h"
#include "flow/sector_assignment.h"
#include "support/scripted_terminal.h"

namespace qm {
namespace {

// From the title to a new game: the arrows cycle the factions, left from 7 to 6, right on from
// 15 wrapping to 0 and left from 0 back to 15; Enter starts the game with the faction shown.
TEST(SectorAssignment, TitleFactionChoiceAndNewGameThroughTheTerminal) {
    Game g;
    test::ScriptedTerminal t;
    t.type({'x', 0x104, 0x105, 0x105, 0x105, 0x105, 0x105, 0x105, 0x105, 0x105, 0x105, 0x105, 0x104, '\n'});
    EXPECT_EQ(run_game(g, t), 0);
    ASSERT_EQ(t.frames(), 15u);
    EXPECT_EQ(t.frame_text(1).substr(81 + 31, 18), "Sector Assignment:");
    const std::pair<std::size_t, std::string> shown[] = {
        {1, "Light Division"}, {2, "The Gnomes"}, {4, "Armored Division"}, {11, "The Church"}, {12, "Hollow Seers"}};
    for (const auto& [frame, name] : shown) EXPECT_NE(t.frame_text(frame).find(name), std::string::npos) << frame;
    EXPECT_EQ(std::tuple(g.player_faction, g.game_mode, g.units.size(), g.units[0]->faction), std::tuple(15, 1, 3u, 15));
    // The title's lines on their rows, centred; faction 7's slot on the strip below the shades.
    const std::pair<int, std::string> title[] = {
        {4, "Quillmire"}, {7, "Learn the rules as you go."},
        {16, "Use the arrow keys/number pad to move.  Use Q,W,E,A,D,Z,X and C to interact."},
        {17, "Press S to look at your status."}, {18, "Press H to look at your high scores now."},
        {20, "Press ESC at any time to quit."}, {22, "Press any other key now to Play a Game."}};
    for (const auto& [row, text] : title) {
        EXPECT_EQ(t.frame_text(0).substr(81 * row + 39 - (text.size() - 1) / 2, text.size()), text);
    }
    const std::string shades = "\xB0\xB1\xB2\xB1\xB0";
    EXPECT_EQ(t.frame_text(1).substr(81 * 24, 35) + t.frame_text(1).substr(81 * 24 + 40, 40), [&] {
        std::string s;
        for (int f = 0; f < 15; ++f) s += shades;
        return s;
    }());

    // The shades behind the names are in the faction's colour, bright red for 12; black on
    // black for faction 0, whatever its coin says.
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
        for (int faction : {0, 12}) {
            Game s;
            test::ScriptedTerminal st;
            s.terminal = &st, s.seed = seed, s.player_faction = faction;
            sector_assignment_frame(s);
            const Cell c = s.screen.at(10, 10);
            EXPECT_EQ(std::tuple(c.fg, c.bg, c.bright), faction == 0 ? std::tuple(0, 0, 0) : std::tuple(4, 0, 1));
        }
    }
}

}  // namespace
}  // namespace qm
