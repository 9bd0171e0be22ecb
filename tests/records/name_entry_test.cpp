#include <gtest/gtest.h>

#include <string>

#include "records/name_entry.h"
#include "records/records_support.h"
#include "support/scripted_terminal.h"

namespace qm {
namespace {

using test::holder_of;

constexpr int curses_key_down = 0x102;
constexpr int curses_key_pad_7 = 0x1C1;
constexpr int curses_key_pad_dot = 0x1CE;
constexpr int curses_key_pad_enter = 0x1CB;

std::vector<int> keys_of(const std::string& text) { return {text.begin(), text.end()}; }

// Counter 7 is beaten by the game, counter 8 is not.
struct EntryGame {
    Game game;
    test::ScriptedTerminal terminal;
    EntryGame() {
        game.terminal = &terminal;
        game.seed = 99;
        game.current_statistics.counters[7] = 3;
        game.record_statistics.holders[7] = holder_of("LONGERNAMEXXXX");
        game.record_statistics.counters[8] = 4;
        game.record_statistics.holders[8] = holder_of("OLD");
    }
    const std::array<char, holder_name_size>& beaten() const { return game.record_statistics.holders[7]; }
};

TEST(NameEntry, TypingRules) {
    {
        // Sixteen letters: the first 13 stay and the last one replaces the 14th each time.
        EntryGame e;
        auto keys = keys_of("abcdefghijklmnop");
        keys.push_back('\n');
        e.terminal.type(keys);
        EXPECT_FALSE(enter_name(e.game));
        EXPECT_STREQ(e.beaten().data(), "ABCDEFGHIJKLMP");
        EXPECT_STREQ(e.game.record_statistics.holders[8].data(), "OLD");
        ASSERT_EQ(e.terminal.frames(), 17u);
        EXPECT_EQ(row_text(e.terminal.last_screen(), 11).substr(15, 50),
                  "You have bested an old record!  What is your name?");
        EXPECT_EQ(e.terminal.last_row(13), std::string(33, ' ') + "ABCDEFGHIJKLMP" + std::string(33, ' '));
        EXPECT_EQ(e.terminal.frame_text(1).substr(13 * 81, 80), std::string(39, ' ') + "A" + std::string(40, ' '));
    }
    {
        // Capitals and small letters alike, arrows type digits, blanks count, other keys (Ctrl-G
        // among them) are ignored; backspace (8, or DEL) takes the last character back.
        EntryGame e;
        e.terminal.type({'A', 'b', curses_key_down, ' ', '9', '!', 7, '.', '-', 'x', 8, 'y', 127, 127, '\n'});
        EXPECT_FALSE(enter_name(e.game));
        EXPECT_STREQ(e.beaten().data(), "AB2 ");
        // Only the name and its NUL are written; the older, longer name shows through after it.
        EXPECT_EQ(e.beaten()[5], 'R');
        EXPECT_EQ(e.beaten()[13], 'X');
        EXPECT_EQ(e.beaten()[14], '\0');
    }
    {
        // Backspace on an empty name changes nothing; a carriage return ends the entry too.
        EntryGame e;
        e.terminal.type({8, 'q', 8, 8, 'z', '\r'});
        EXPECT_FALSE(enter_name(e.game));
        EXPECT_STREQ(e.beaten().data(), "Z");
    }
    {
        // The keypad's Enter ends it as well; the keypad's other keys type digits or nothing.
        EntryGame e;
        e.terminal.type({curses_key_pad_7, curses_key_pad_dot, 'k', curses_key_pad_enter, 'x', '\n'});
        EXPECT_FALSE(enter_name(e.game));
        EXPECT_STREQ(e.beaten().data(), "7K");
        EXPECT_EQ(e.terminal.frames(), 4u);
    }
}

TEST(NameEntry, EmptyNameEscapeAndColours) {
    {
        EntryGame e;
        e.terminal.type({'\n'});
        EXPECT_FALSE(enter_name(e.game));
        EXPECT_EQ(e.beaten()[0], '\0');
        EXPECT_EQ(e.beaten()[1], 'O');
        EXPECT_STREQ(e.game.record_statistics.holders[8].data(), "OLD");
        EXPECT_EQ(e.terminal.last_row(13), std::string(80, ' '));
    }
    {
        EntryGame e;
        const StatisticsBlock before = e.game.record_statistics;
        e.terminal.type({'a', 'b', key_escape, 'c', '\n'});
        EXPECT_TRUE(enter_name(e.game));
        EXPECT_EQ(e.game.record_statistics.holders, before.holders);
        EXPECT_EQ(e.game.record_statistics.counters, before.counters);
        EXPECT_EQ(e.terminal.frames(), 3u);
    }
    {
        // One colour for the whole frame, drawn anew each pass: foreground, then brightness.
        // A pass without a key waits instead of spinning and still redraws.
        EntryGame e;
        e.terminal.idle_frames_before_escape = 2;
        const std::uint32_t start = e.terminal.clock;
        EXPECT_TRUE(enter_name(e.game));
        ASSERT_EQ(e.terminal.frames(), 3u);
        EXPECT_EQ(e.terminal.clock, start + 20);
        std::uint32_t s = 99;
        for (int pass = 0; pass < 2; ++pass) {
            random_below(s, 8);
            random_below(s, 2);
        }
        const int fg = random_below(s, 8);
        const int bright = random_below(s, 2);
        const std::uint32_t expected_seed = s;
        const Cell& c = e.terminal.last_screen().at(15, 11);
        EXPECT_EQ(c.glyph, 'Y');
        EXPECT_EQ(c.fg, fg);
        EXPECT_EQ(c.bright, bright);
        EXPECT_EQ(c.bg, 0);
        const Cell& last = e.terminal.last_screen().at(64, 11);
        EXPECT_EQ(last.glyph, '?');
        EXPECT_EQ(last.fg, fg);
        EXPECT_EQ(last.bright, bright);
        EXPECT_EQ(e.game.seed, expected_seed);
    }
}

TEST(NameEntry, BeatenOnlyByStrictlyGreaterUnsignedValues) {
    Game g;
    EXPECT_FALSE(record_beaten(g));  // nothing happened: zero does not beat zero
    g.current_statistics.counters[300] = 5;
    g.record_statistics.counters[300] = 5;
    EXPECT_FALSE(record_beaten(g));
    g.record_statistics.counters[100] = 1;
    g.current_statistics.counters[100] = 0x80000000u;  // large, not negative
    EXPECT_TRUE(record_beaten(g));
    g.current_statistics.counters[100] = 0;
    g.current_statistics.counters[447] = 1;
    EXPECT_TRUE(record_beaten(g));
}

}  // namespace
}  // namespace qm
