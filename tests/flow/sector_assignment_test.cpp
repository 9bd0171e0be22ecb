#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "console/startup.h"
#include "flow/sector_assignment.h"
#include "support/scripted_terminal.h"
#include "world/factions.h"
#include "world/lists.h"

namespace qm {
namespace {

TEST(NewGame, LayoutAndDrawOrder) {
    Game g;
    g.seed = 4242;
    g.player_faction = 3;
    start_new_game(g);

    // The draws in order: the player's eight slots, each citizen's eight slots and phase,
    // each building's phase, the corrupted node's faction, then the walk.
    std::uint32_t s = 4242;
    for (int i = 0; i < 8; ++i) random_below(s, 500);
    int phases[2];
    for (int& p : phases) {
        for (int i = 0; i < 8; ++i) random_below(s, 500);
        p = random_below(s, 500);
    }
    const int node_phase = random_below(s, 500);
    const int corrupted_phase = random_below(s, 500);
    const int corrupted_faction = random_below(s, 16);

    ASSERT_EQ(g.units.size(), 3u);
    EXPECT_EQ(g.units[0]->kind, unit_player);
    EXPECT_EQ(g.units[0]->hit_points, 10);
    EXPECT_EQ(g.units[0]->x, 200);
    EXPECT_EQ(g.units[0]->y, 62);
    EXPECT_EQ(g.units[1]->kind, unit_citizen);
    EXPECT_EQ(g.units[1]->y, 61);
    EXPECT_EQ(g.units[1]->phase, phases[0]);
    EXPECT_EQ(g.units[2]->y, 63);
    EXPECT_EQ(g.units[2]->phase, phases[1]);
    EXPECT_EQ(g.units[2]->hit_points, 1);
    ASSERT_EQ(g.buildings.size(), 2u);
    EXPECT_EQ(g.buildings[0]->kind, building_node);
    EXPECT_EQ(g.buildings[0]->faction, 3);
    EXPECT_EQ(g.buildings[0]->phase, node_phase);
    EXPECT_EQ(g.buildings[1]->kind, building_corrupted_node);
    EXPECT_EQ(g.buildings[1]->x, 165);
    EXPECT_EQ(g.buildings[1]->phase, corrupted_phase);
    EXPECT_EQ(g.buildings[1]->faction, corrupted_faction);

    EXPECT_EQ(g.units[1]->faction, 3);
    EXPECT_EQ(g.units[2]->faction, 3);
    EXPECT_EQ(g.units[1]->max_hit_points, 1);
    EXPECT_EQ(g.units[0]->max_hit_points, 10);
    EXPECT_EQ(g.units[0]->faction, 3);

    // The map: the source and the ring of green walls round the start sector, nothing else.
    EXPECT_TRUE(is_source(map_cell(g, 210, 62)));
    int changed = 0;
    for (int x = 0; x < map_width; ++x) {
        for (int y = 0; y < map_height; ++y) {
            const Cell& cell = map_cell(g, x, y);
            if (x == 210 && y == 62) continue;
            const bool ring = x >= 160 && x <= 239 && y >= 50 && y <= 74 &&
                              (x == 160 || x == 239 || y == 50 || y == 74);
            EXPECT_EQ(cell, ring ? (Cell{219, 2, 0, 0}) : open_ground) << x << "," << y;
            changed += ring ? 1 : 0;
        }
    }
    EXPECT_EQ(changed, 2 * 80 + 2 * 23);
    EXPECT_EQ(g.view_x, 160);
    EXPECT_EQ(g.view_y, 50);
    EXPECT_EQ(g.open_min_x, 160);
    EXPECT_EQ(g.open_max_x, 160);
    EXPECT_EQ(g.open_min_y, 50);
    EXPECT_EQ(g.open_max_y, 50);
    EXPECT_EQ(g.game_mode, 1);

    // The walk comes last: laid again from where the corrupted node's faction left the seed.
    Game walk;
    walk.seed = s;
    lay_sector_grid(walk);
    EXPECT_EQ(g.sector_grid, walk.sector_grid);
    EXPECT_EQ(g.seed, walk.seed);
}

TEST(NewGame, SectorWalkLabelsEverySectorOverManySeeds) {
    for (std::uint32_t seed = 0; seed < 500; ++seed) {
        Game g;
        g.seed = seed;
        lay_sector_grid(g);
        const int highest = *std::max_element(g.sector_grid.begin(), g.sector_grid.end());
        std::array<int, 32> count{};
        for (auto v : g.sector_grid) ++count[v];
        ASSERT_EQ(count[0], 0) << seed;
        ASSERT_EQ(g.sector_grid[12], 1);
        ASSERT_EQ(count[1], 1);
        ASSERT_EQ(count[2], 1) << seed;
        for (int label = 3; label <= highest; ++label) {
            ASSERT_GE(count[label], 1) << seed;
            ASSERT_LE(count[label], 3) << seed;
        }
    }
}

TEST(SectorAssignment, TitleChoiceAndNewGameThroughTheTerminal) {
    Game g;
    test::ScriptedTerminal t;
    t.keys_at(0, {'x'});                       // any key leaves the title
    t.keys_at(1, {'6'});                       // faction 8
    t.keys_at(2, {0x104});                     // cursor left: back to 7
    t.keys_at(3, {0x104});                     // 6
    t.keys_at(5, {'\n'});                      // start the game
    t.keys_at(8, {27});
    EXPECT_EQ(run_game(g, t), 0);

    EXPECT_NE(t.frame_text(0).find("Press ESC at any time to quit."), std::string::npos);
    const std::string first = t.frame_text(1);
    EXPECT_EQ(first.substr(81 + 31, 18), "Sector Assignment:");
    EXPECT_NE(t.frame_text(1).find("Light Division"), std::string::npos);
    EXPECT_NE(t.frame_text(2).find("Armored Division"), std::string::npos);
    EXPECT_NE(t.frame_text(4).find("The Gnomes"), std::string::npos);
    EXPECT_EQ(g.player_faction, 6);
    EXPECT_EQ(g.game_mode, 1);
    EXPECT_EQ(g.units.size(), 3u);
    EXPECT_EQ(g.units[0]->faction, 6);
}

// One frame with no key, cell by cell, for every faction: the shades in the chosen faction's
// colour (black on black for faction 0, whose coin is thrown all the same), the strip in each
// faction's colour, the names in faction 15's white, and every draw in its place.
TEST(SectorAssignment, FrameDrawsShadesStripAndNamesInDrawOrder) {
    constexpr std::uint32_t clock = 2900;  // n + t crosses 3000 for some cells, not for others
    constexpr std::uint32_t seed = 7;
    for (int faction = 0; faction < 16; ++faction) {
        Game g;
        test::ScriptedTerminal t;
        t.idle_frames_before_escape = 1;
        t.clock = clock;
        g.terminal = &t;
        g.seed = seed;
        g.player_faction = faction;
        ASSERT_FALSE(sector_assignment_frame(g));
        const ScreenBuffer& shown = t.last_screen();

        // The names over the shades, centred, in faction 15's white.
        const FactionName& name = faction_names[faction];
        const std::pair<int, std::string_view> lines[] = {{1, "Sector Assignment:"}, {3, name.group}, {4, name.sub}};
        auto text_at = [&](int c, int r) -> std::optional<char> {
            for (const auto& [row, text] : lines) {
                const int left = 39 - (static_cast<int>(text.size()) - 1) / 2;
                if (r == row && c >= left && c < left + static_cast<int>(text.size())) return text[c - left];
            }
            return std::nullopt;
        };

        std::uint32_t s = seed;
        auto colour_of = [&](int f) {
            if (f == 0) return Cell{0, 0, 0, static_cast<std::uint8_t>(random_below(s, 2) != 0)};
            return Cell{0, static_cast<std::uint8_t>(f % 8), 0, static_cast<std::uint8_t>(f >= 8)};
        };
        Cell pen = colour_of(faction);
        if (faction == 0) pen.bright = 0;
        for (int c = 0; c < 80; ++c) {
            for (int r = 0; r < 24; ++r) {
                const std::uint32_t n = static_cast<std::uint32_t>(random_below(s, 300));
                pen.glyph = static_cast<std::uint8_t>(176 + ((n + clock) / 3000 + c % 4 + r) % 3);
                const std::optional<char> text = text_at(c, r);
                const Cell want = text ? Cell{static_cast<std::uint8_t>(*text), 7, 0, 1} : pen;
                ASSERT_EQ(shown.at(c, r), want) << "faction " << faction << " cell " << c << "," << r;
            }
        }
        const int shades[5] = {176, 177, 178, 177, 176};
        for (int j = 0; j < 16; ++j) {
            Cell strip = colour_of(j);
            for (int k = 0; k < 5; ++k) {
                strip.glyph = static_cast<std::uint8_t>(j != faction ? shades[k] : random_below(s, 2) == 0 ? 219 : 220);
                ASSERT_EQ(shown.at(5 * j + k, 24), strip) << "faction " << faction << " slot " << j;
            }
        }
        EXPECT_EQ(g.seed, s) << "faction " << faction;

        // No sub-name leaves row 4 all shades.
        if (name.sub.empty()) {
            for (int c = 0; c < 80; ++c) EXPECT_GE(shown.at(c, 4).glyph, 176) << "faction " << faction;
        }
        EXPECT_EQ(g.game_mode, 0);
        EXPECT_EQ(g.player_faction, faction);
    }
}

TEST(SectorAssignment, FactionCyclingWrapsAndEscapeQuits) {
    Game g;
    test::ScriptedTerminal t;
    g.terminal = &t;
    g.player_faction = 0;
    t.type({'4'});
    EXPECT_FALSE(sector_assignment_frame(g));
    EXPECT_EQ(g.player_faction, 15);
    t.type({'6'});
    EXPECT_FALSE(sector_assignment_frame(g));
    EXPECT_EQ(g.player_faction, 0);
    // A frame with no key keeps the screen and waits out its 10 ms.
    t.idle_frames_before_escape = 1;
    const std::uint32_t before_idle = t.clock;
    EXPECT_FALSE(sector_assignment_frame(g));
    EXPECT_EQ(g.player_faction, 0);
    EXPECT_EQ(g.game_mode, 0);
    EXPECT_EQ(t.clock, before_idle + 10);
    // ESC quits at once, without waiting for the frame's end.
    t.type({27});
    const std::uint32_t before_escape = t.clock;
    EXPECT_TRUE(sector_assignment_frame(g));
    EXPECT_EQ(g.game_mode, 0);
    EXPECT_EQ(t.clock, before_escape);
    // Cursor up arrives as '8': not a faction key, so it starts the game.
    t.type({0x103});
    EXPECT_FALSE(sector_assignment_frame(g));
    EXPECT_EQ(g.game_mode, 1);
    EXPECT_EQ(g.units.size(), 3u);
}

TEST(Startup, EscapeOnTitleQuitsBeforeTheReset) {
    Game g;
    test::ScriptedTerminal t;
    t.keys_at(0, {27});
    g.megaboss_type = 99;
    EXPECT_EQ(run_game(g, t), 0);
    EXPECT_EQ(g.megaboss_type, 99);
    EXPECT_FALSE(t.realtime);
    EXPECT_EQ(t.frames(), 1u);
}

TEST(Startup, TitleKeyHShowsTheRecordsFirstAndOnlyTheResetDraws) {
    {
        // 'h': the records, left with ESC, then the faction choice.
        Game g;
        test::ScriptedTerminal t;
        const auto dir = std::filesystem::temp_directory_path() / "quillmire-startup-h";
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        g.score_directory = dir.string();
        t.keys_at(0, {'h'});
        t.keys_at(1, {27});
        t.keys_at(2, {27});
        EXPECT_EQ(run_game(g, t), 0);
        ASSERT_EQ(t.frames(), 3u);
        EXPECT_NE(t.frame_text(1).find("Overall Winners"), std::string::npos);
        EXPECT_NE(t.frame_text(2).find("Sector Assignment:"), std::string::npos);
    }
    {
        // 'H' goes straight on; the reset's megaboss is the one draw before the first frame,
        // whose 1920 shades and the coin of faction 0's colour come before the five coins of
        // faction 7's strip. (A clock of 7 seeds coins that tell these apart.)
        Game g;
        test::ScriptedTerminal t;
        t.clock = 7;
        t.keys_at(0, {'H'});
        t.keys_at(1, {27});
        EXPECT_EQ(run_game(g, t), 0);
        ASSERT_EQ(t.frames(), 2u);
        EXPECT_TRUE(t.realtime);
        std::uint32_t s = t.clock;
        EXPECT_EQ(g.megaboss_type, random_below(s, 16));
        for (int i = 0; i < 80 * 24; ++i) random_below(s, 300);
        random_below(s, 2);
        std::string strip;
        for (int i = 0; i < 5; ++i) strip += static_cast<char>(random_below(s, 2) == 0 ? 219 : 220);
        EXPECT_EQ(t.frame_text(1).substr(24 * 81 + 35, 5), strip);
        EXPECT_EQ(g.player_faction, 7);
        EXPECT_EQ(g.game_mode, 0);
    }
}

}  // namespace
}  // namespace qm
