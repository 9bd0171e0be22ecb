#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>

#include "records/records_screen.h"
#include "records/records_support.h"
#include "support/scripted_terminal.h"

namespace qm {
namespace {

using test::holder_of;

// A row of a page as the player reads it: a heading (one row) or a run of sixteen faction rows
// (the row of faction f stands f lower and shows counter + step * f), with the labels of
// factions 0 and 15.
struct ShownRow {
    int page, row, column, counter, step;
    const char* first_label;
    const char* last_label;
};

constexpr ShownRow shown_rows[] = {
    {0, 2, 0, 447, 0, "Sectors Cleared", ""},
    {0, 4, 0, 431, 1, "The Ohm Soul", "Dark Angel Queen"},
    {0, 2, 40, 18, 0, "Experience", ""},
    {0, 4, 40, 0, 1, "Leadership", "Leadership"},
    {0, 21, 40, 16, 0, "Healthiest", ""},
    {0, 21, 0, 17, 0, "Weaponry", ""},
    {1, 2, 0, 51, 0, "Gathered", ""},
    {1, 4, 0, 19, 1, "Gathered", "Gathered"},
    {1, 2, 40, 52, 0, "Spent", ""},
    {1, 4, 40, 35, 1, "Spent", "Spent"},
    {2, 2, 22, 393, 0, "Total", ""},
    {2, 4, 0, 382, 0, "Tot Boss", ""},
    {2, 5, 0, 62, 10, "Soul of Midnight", "Fallen Angel"},
    {2, 4, 40, 378, 0, "Tot General", ""},
    {2, 5, 40, 58, 10, "Star Knight", "Corrupt Priest"},
    {3, 2, 22, 393, 0, "Total", ""},
    {3, 4, 0, 377, 0, "Tot Soldier", ""},
    {3, 5, 0, 57, 10, "Midnight Slave", "Fanatic"},
    {3, 4, 40, 379, 0, "Tot Flier", ""},
    {3, 5, 40, 59, 10, "Shadow Flier", "Witch"},
    {4, 2, 22, 393, 0, "Total", ""},
    {4, 4, 22, 374, 0, "Total Ooze", ""},
    {4, 5, 22, 54, 10, "Corrupt Ooze", "Corrupt Ooze"},
    {5, 2, 22, 394, 0, "Total Lost", ""},
    {5, 4, 0, 373, 0, "Tot Crystal", ""},
    {5, 5, 0, 53, 10, "Crystallite", "Crystallite"},
    {5, 4, 40, 380, 0, "Tot General", ""},
    {5, 5, 40, 60, 10, "Hollow Seer", "Paladin"},
    {6, 2, 22, 394, 0, "Total Lost", ""},
    {6, 4, 0, 376, 0, "Tot Soldier", ""},
    {6, 5, 0, 56, 10, "Hollow Acolyte", "Healer"},
    {6, 4, 40, 381, 0, "Tot Flier", ""},
    {6, 5, 40, 61, 10, "Mini-Crystal", "White Flier"},
    {7, 2, 22, 394, 0, "Total Lost", ""},
    {7, 4, 22, 375, 0, "Tot Citizen", ""},
    {7, 5, 22, 55, 10, "Hollow Cultist", "Priest"},
    {8, 2, 22, 430, 0, "Total Razed", ""},
    {8, 4, 0, 412, 0, "Barracks", ""},
    {8, 5, 0, 396, 1, "Fallen Star", "Fallen Church"},
    {8, 4, 40, 429, 0, "Airfield", ""},
    {8, 5, 40, 413, 1, "Shadow Breeder", "Witch's Coven"},
    {9, 2, 22, 395, 0, "Total Recruits", ""},
    {9, 4, 0, 390, 0, "Tot General", ""},
    {9, 5, 0, 220, 10, "Hollow Seer", "Paladin"},
    {9, 4, 40, 386, 0, "Tot Soldier", ""},
    {9, 5, 40, 216, 10, "Hollow Acolyte", "Healer"},
    {10, 2, 22, 395, 0, "Total Recruits", ""},
    {10, 4, 0, 391, 0, "Tot Flier", ""},
    {10, 5, 0, 221, 10, "Mini-Crystal", "White Flier"},
    {10, 4, 40, 385, 0, "Max Census", ""},
    {10, 5, 40, 215, 10, "Hollow Cultist", "Priest"},
};

constexpr const char* page_titles[] = {
    "Overall Winners",  "Resources",   "Unit Destruction",     "Unit Destruction",
    "Unit Destruction", "Unit Losses", "Unit Losses",          "Unit Losses",
    "Building Destruction", "Recruits and Citizens", "Recruits and Citizens",
};

std::vector<std::string> rows_of(const std::string& frame) {
    std::vector<std::string> rows;
    std::istringstream in(frame);
    for (std::string line; std::getline(in, line);) rows.push_back(line);
    return rows;
}

std::string centred(const std::string& text) {
    const int column = 39 - (static_cast<int>(text.size()) - 1) / 2;
    std::string row(80, ' ');
    row.replace(static_cast<std::size_t>(column), text.size(), text);
    return row;
}

struct RecordsGame {
    Game game;
    test::ScriptedTerminal terminal;
    RecordsGame() {
        game.terminal = &terminal;
        game.seed = 7;
    }
    // Every page once, turned with space.
    std::vector<std::vector<std::string>> all_pages() {
        terminal.type(std::vector<int>(record_page_count, ' '));
        show_records(game);
        std::vector<std::vector<std::string>> pages;
        for (std::size_t i = 0; i < terminal.frames(); ++i) pages.push_back(rows_of(terminal.frame_text(i)));
        return pages;
    }
};

// The label, then the value ending in column + 20, the holder ending in column + 36.
void expect_row(const std::string& text, int column, const std::string& label, const std::string& value,
                const std::string& holder) {
    const auto c = static_cast<std::size_t>(column);
    const std::size_t value_at = c + 21 - value.size();
    const std::size_t holder_at = c + 37 - holder.size();
    EXPECT_EQ(text.substr(c, value_at - c), (label + std::string(40, ' ')).substr(0, value_at - c)) << text;
    EXPECT_EQ(text.substr(value_at, value.size()), value) << text;
    EXPECT_EQ(text.substr(c + 21, holder_at - c - 21), std::string(holder_at - c - 21, ' ')) << text;
    EXPECT_EQ(text.substr(holder_at, holder.size()), holder) << text;
}

TEST(RecordsScreen, EveryRowOfEveryPageAtItsColumns) {
    RecordsGame r;
    for (int i = 0; i < counter_count; ++i) {
        r.game.record_statistics.counters[i] = 1000 + static_cast<std::uint32_t>(i);
        r.game.record_statistics.holders[i] = holder_of("H" + std::to_string(i));
    }
    const auto pages = r.all_pages();
    ASSERT_EQ(pages.size(), 11u);
    for (int p = 0; p < record_page_count; ++p) {
        EXPECT_EQ(pages[p][0], centred(page_titles[p]));
        EXPECT_EQ(pages[p][24], centred("Press space to continue."));
    }
    // Without a score file every row shows 0 and "---", and no megaboss has a name yet.
    RecordsGame none;
    const auto empty_pages = none.all_pages();
    ASSERT_EQ(empty_pages.size(), 11u);

    for (const ShownRow& s : shown_rows) {
        SCOPED_TRACE(testing::Message() << "page " << s.page << " row " << s.row << " column " << s.column);
        for (int f = 0; f < (s.step == 0 ? 1 : 16); ++f) {
            const int counter = s.counter + s.step * f;
            const std::string text = pages[s.page][s.row + f];
            // Labels of the middle factions are spot-checked below.
            const std::string label = f == 0 ? s.first_label : f == 15 ? s.last_label : text.substr(s.column, 17);
            expect_row(text, s.column, label, std::to_string(1000 + counter), "H" + std::to_string(counter));
            const std::string empty = empty_pages[s.page][s.row + f];
            expect_row(empty, s.column, s.page == 0 && s.counter == 431 ? "Sectors" : empty.substr(s.column, 20),
                       "0", "---");
        }
    }
    EXPECT_EQ(pages[0][11].substr(0, 17), "Rocket Dreadnough");  // its last letter lies under the value
    EXPECT_EQ(pages[2][17].substr(0, 17), "Living Sandstorm ");
    EXPECT_EQ(pages[10][15].substr(40, 17), "Grid Elfling     ");
}

TEST(RecordsScreen, MegabossRowsAreNamedOnceThatMegabossFell) {
    RecordsGame r;
    r.game.record_statistics.counters[431 + 3] = 1;
    r.game.current_statistics.counters[431 + 5] = 1;
    r.terminal.type({key_escape});
    show_records(r.game);
    const auto rows = rows_of(r.terminal.last_frame());
    EXPECT_EQ(rows[4].substr(0, 17), "Sectors          ");
    EXPECT_EQ(rows[7].substr(0, 17), "Flesh MegaGrinder");
    EXPECT_EQ(rows[9].substr(0, 17), "Worm of Ages     ");
    EXPECT_EQ(rows[19].substr(0, 17), "Sectors          ");
}

TEST(RecordsScreen, PagesTurnWithSpaceAndEscapeLeaves) {
    {
        RecordsGame r;
        r.terminal.type({' ', ' ', 'x', key_escape, ' '});
        show_records(r.game);
        ASSERT_EQ(r.terminal.frames(), 4u);
        EXPECT_EQ(rows_of(r.terminal.frame_text(2))[0], centred("Unit Destruction"));
        EXPECT_EQ(r.terminal.frame_text(3), r.terminal.frame_text(2));
    }
    {
        // No key: the page is drawn again after a short wait.
        RecordsGame r;
        r.terminal.type({' '});
        r.terminal.idle_frames_before_escape = 2;
        const std::uint32_t start = r.terminal.clock;
        show_records(r.game);
        ASSERT_EQ(r.terminal.frames(), 4u);
        EXPECT_EQ(rows_of(r.terminal.last_frame())[0], centred("Resources"));
        EXPECT_EQ(r.terminal.clock, start + 20);
    }
}

TEST(RecordsScreen, ColoursAndDrawsOfAPage) {
    // Page 0 with one beaten heading: the heading pens and faction 0's flicker each draw in
    // row order, and the beaten row draws its holder's pen between them.
    RecordsGame r;
    Game& g = r.game;
    g.record_statistics.counters[447] = 1;
    g.current_statistics.counters[447] = 3;
    g.record_statistics.holders[447] = holder_of("ZED");
    r.terminal.clock = 1700;  // the pulse's green third
    r.terminal.type({key_escape});
    show_records(g);
    const ScreenBuffer& screen = r.terminal.last_screen();

    std::uint32_t s = 7;  // the game's seed
    const int sectors_fg = 6 + random_below(s, 2);
    const int holder_fg = random_below(s, 8);
    const int holder_bright = random_below(s, 2);
    const int megaboss_row_0_bright = random_below(s, 2);
    const int experience_fg = 6 + random_below(s, 2);
    const int leadership_row_0_bright = random_below(s, 2);
    const int healthiest_fg = 6 + random_below(s, 2);
    const int weaponry_fg = 6 + random_below(s, 2);
    EXPECT_EQ(g.seed, s);

    const auto pen = [&](int column, int row) {
        const Cell& c = screen.at(column, row);
        return std::tuple(int{c.fg}, int{c.bg}, int{c.bright});
    };
    EXPECT_EQ(pen(32, 0), std::tuple(7, 0, 1));   // the title
    EXPECT_EQ(pen(28, 24), std::tuple(7, 0, 1));  // "Press space to continue."
    EXPECT_EQ(pen(0, 2), std::tuple(sectors_fg, 2, 1));
    EXPECT_EQ(pen(20, 2), std::tuple(sectors_fg, 2, 1));
    EXPECT_EQ(pen(34, 2), std::tuple(holder_fg, 2, holder_bright));
    EXPECT_EQ(std::get<1>(pen(39, 2)), 2);
    EXPECT_EQ(pen(40, 2), std::tuple(experience_fg, 0, 1));
    EXPECT_EQ(pen(0, 4), std::tuple(0, 0, megaboss_row_0_bright));
    EXPECT_EQ(pen(40, 4), std::tuple(0, 0, leadership_row_0_bright));
    EXPECT_EQ(pen(40, 21), std::tuple(healthiest_fg, 0, 1));
    EXPECT_EQ(pen(0, 21), std::tuple(weaponry_fg, 0, 1));
    // Faction f's rows in f's colour: dark colours for 1..7, bright ones from 8 on.
    for (int f = 1; f < 16; ++f) {
        EXPECT_EQ(pen(0, 4 + f), std::tuple(f % 8, 0, f >= 8 ? 1 : 0)) << f;
        EXPECT_EQ(pen(76, 4 + f), std::tuple(f % 8, 0, f >= 8 ? 1 : 0)) << f;
    }
}

TEST(RecordsScreen, BeatenRowsShowTheGameAndPulse) {
    RecordsGame r;
    Game& g = r.game;
    const ScreenBuffer& screen = g.screen;

    // Heading pen yellow or white, then a random pen for the new holder, then the pulse.
    r.terminal.clock = 1500;
    std::uint32_t s = g.seed;
    const int heading_fg = 6 + random_below(s, 2);
    const int holder_fg = random_below(s, 8);
    const int holder_bright = random_below(s, 2);
    draw_record_row(g, 5, 9, "Tot Boss", "ANNA", 4, 0, -1);
    EXPECT_EQ(row_text(screen, 4).substr(0, 40), "Tot Boss            9            ANNA   ");
    EXPECT_EQ(screen.at(0, 4).fg, heading_fg);
    EXPECT_EQ(screen.at(0, 4).bright, 1);
    EXPECT_EQ(screen.at(20, 4).fg, heading_fg);
    EXPECT_EQ(screen.at(33, 4).fg, holder_fg);
    EXPECT_EQ(screen.at(36, 4).bright, holder_bright);
    for (int c = 0; c < 40; ++c) ASSERT_EQ(screen.at(c, 4).bg, 1) << c;  // 500 ms: blue
    EXPECT_EQ(screen.at(40, 4).bg, 0);
    EXPECT_EQ(g.seed, s);

    r.terminal.clock = 1999;
    draw_record_row(g, 5, 9, "Tot Boss", "", 6, 40, 3);
    EXPECT_EQ(row_text(screen, 6).substr(40), "Tot Boss            9                   ");
    EXPECT_EQ(screen.at(40, 6).fg, 3);
    EXPECT_EQ(screen.at(79, 6).bg, 2);
    EXPECT_EQ(screen.at(39, 6).bg, 0);
    r.terminal.clock = 2333;
    draw_record_row(g, 5, 9, "Tot Boss", "", 6, 40, 3);
    EXPECT_EQ(screen.at(60, 6).bg, 0);

    // Not beaten: the larger value, the old holder, no pulse.
    r.terminal.clock = 1500;
    draw_record_row(g, 9, 5, "Lich", "OLDER", 8, 22, 12);
    EXPECT_EQ(row_text(screen, 8).substr(22, 40), "Lich                9           OLDER   ");
    EXPECT_EQ(screen.at(22, 8).fg, 4);
    EXPECT_EQ(screen.at(22, 8).bright, 1);
    for (int c = 22; c < 62; ++c) ASSERT_EQ(screen.at(c, 8).bg, 0) << c;

    // Both zero: "---" whatever the holder says. A long value covers the label's end.
    draw_record_row(g, 0, 0, "Lich", "GHOST", 9, 0, 13);
    EXPECT_EQ(row_text(screen, 9).substr(0, 37), "Lich" + std::string(16, ' ') + "0" + std::string(13, ' ') + "---");
    draw_record_row(g, 4294967295u, 0, "Living Sandstorm", "X", 10, 40, 12);
    EXPECT_EQ(row_text(screen, 10).substr(40), "Living Sand4294967295" + std::string(15, ' ') + "X   ");

    // A holder without a NUL shows all 15 bytes.
    const auto full = holder_of("ABCDEFGHIJKLMNO");
    EXPECT_EQ(holder_text(full), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(holder_text(holder_of("")), "");
}

}  // namespace
}  // namespace qm
