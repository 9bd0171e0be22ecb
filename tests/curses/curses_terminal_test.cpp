#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "console/curses_terminal.h"
#include "console/keys.h"

namespace qm {
namespace {

// Curses' own numbering: 0 black, 1 red, 2 green, 3 yellow, 4 blue, 5 magenta, 6 cyan, 7 white.
TEST(CursesColours, ConsoleColoursTranslateWhenPairsAreCreated) {
    const int expected[8] = {0, 4, 2, 6, 1, 5, 3, 7};
    for (int c = 0; c < 8; ++c) EXPECT_EQ(curses_colour(c), expected[c]) << c;

    const std::vector<CursesPair> eight = curses_pairs(false);
    ASSERT_EQ(eight.size(), 63u);
    std::map<int, CursesPair> by_number;
    for (const CursesPair& p : eight) {
        EXPECT_TRUE(by_number.emplace(p.pair, p).second) << "pair " << p.pair << " twice";
    }
    EXPECT_EQ(by_number.count(0), 0u);  // left to curses as grey on black
    EXPECT_EQ(by_number.at(56).fg, 0);
    EXPECT_EQ(by_number.at(56).bg, 0);
    EXPECT_EQ(by_number.at(1 * 8 + 0).fg, 4);  // console blue on black
    EXPECT_EQ(by_number.at(4 * 8 + 2).fg, 1);  // console red on green
    EXPECT_EQ(by_number.at(4 * 8 + 2).bg, 2);
    EXPECT_EQ(by_number.at(6 * 8 + 3).fg, 3);  // brown on cyan
    EXPECT_EQ(by_number.at(6 * 8 + 3).bg, 6);
    EXPECT_EQ(by_number.at(7 * 8 + 5).fg, 7);

    // With 16 colours the bright pairs follow, each with the bright foreground.
    const std::vector<CursesPair> sixteen = curses_pairs(true);
    ASSERT_EQ(sixteen.size(), 127u);
    std::set<int> numbers;
    for (const CursesPair& p : sixteen) {
        EXPECT_TRUE(numbers.insert(p.pair).second) << "pair " << p.pair << " twice";
        EXPECT_GT(p.pair, 0);
        EXPECT_LT(p.pair, 128);
    }
    for (const CursesPair& p : sixteen) {
        if (p.pair < 64) continue;
        const int fg = (p.pair - 64) / 8, bg = (p.pair - 64) % 8;
        EXPECT_EQ(p.fg, curses_colour(fg) + 8) << "pair " << p.pair;
        EXPECT_EQ(p.bg, curses_colour(bg)) << "pair " << p.pair;
    }
}

TEST(CursesColours, BrightIsBoldOnlyWithoutSixteenColours) {
    // Eight colours: the console's own pair rules, bold for bright.
    struct Case {
        int fg, bg, bright, pair;
        bool bold;
    };
    for (const Case& c : {Case{7, 0, 0, 0, false}, Case{7, 0, 1, 0, true}, Case{0, 0, 1, 56, true},
                          Case{2, 0, 0, 16, false}, Case{4, 2, 1, 34, true},
                          Case{7, 5, 0, 61, false}}) {
        const ColourAttribute a = curses_attribute(c.fg, c.bg, c.bright, false);
        EXPECT_EQ(a.pair, c.pair) << c.fg << "," << c.bg;
        EXPECT_EQ(a.bold, c.bold) << c.fg << "," << c.bg;
    }
    // Sixteen: dark grey is a colour of its own, so it shows where bold does not brighten.
    const std::vector<CursesPair> pairs = curses_pairs(true);
    auto pair_of = [&](int number) {
        for (const CursesPair& p : pairs) {
            if (p.pair == number) return p;
        }
        return CursesPair{-1, -1, -1};
    };
    const ColourAttribute grey = curses_attribute(0, 0, 1, true);
    EXPECT_FALSE(grey.bold);
    EXPECT_EQ(pair_of(grey.pair).fg, 8);
    EXPECT_EQ(pair_of(grey.pair).bg, 0);
    const ColourAttribute light_red = curses_attribute(4, 2, 1, true);
    EXPECT_EQ(pair_of(light_red.pair).fg, 9);
    EXPECT_EQ(pair_of(light_red.pair).bg, 2);
    const ColourAttribute white = curses_attribute(7, 0, 1, true);
    EXPECT_EQ(pair_of(white.pair).fg, 15);
    EXPECT_EQ(curses_attribute(7, 0, 0, true).pair, 0);  // not bright: the usual pairs
    EXPECT_EQ(curses_attribute(2, 0, 0, true).pair, 16);
}

TEST(CursesKeys, OnlyRealKeysReachTheGame) {
    EXPECT_EQ(console_key(-1), key_none);  // curses' "no key"
    EXPECT_EQ(console_key('q'), 'q');
    EXPECT_EQ(console_key('1'), '1');
    EXPECT_EQ(console_key(27), key_escape);
    EXPECT_EQ(console_key(10), 10);
    EXPECT_EQ(console_key(127), 8);  // the terminal's backspace is the console's
    EXPECT_EQ(console_key(0x107), 8);  // so is curses' backspace key, whose low byte is Ctrl-G's
    EXPECT_EQ(console_key(0xE9), key_none);  // a byte of typed non-ASCII text

    // The keypad codes pass as they are and normalise as the keypad keys do.
    const std::map<int, int> keypad = {
        {0x1C1, '7'}, {0x1C2, '8'}, {0x1C3, '9'}, {0x1C4, '4'}, {0x1C5, '5'}, {0x1C6, '6'},
        {0x1C7, '1'}, {0x1C8, '2'}, {0x1C9, '3'}, {0x1FA, '0'}, {0x1CE, '.'}, {0x1CB, '\n'},
        {0x1D1, '+'}, {0x1D0, '-'}, {0x1CF, '*'}, {0x1CA, '/'}, {0x102, '2'}, {0x103, '8'},
        {0x104, '4'}, {0x105, '6'},
    };
    for (const auto& [code, becomes] : keypad) {
        EXPECT_EQ(normalise_key(key_low_byte(console_key(code))), becomes) << std::hex << code;
    }

    // No other curses key code (function keys, modified keys, mouse, resize) turns into ESC,
    // a letter or a digit by its low byte.
    for (int code = 0x100; code < 0x400; ++code) {
        if (keypad.count(code) != 0) continue;
        const int key = normalise_key(key_low_byte(console_key(code)));
        const bool known = key == key_none || key == 8 || key == '=' || key == ',' ||
                           std::any_of(keypad.begin(), keypad.end(),
                                       [&](const auto& k) { return k.second == key; });
        EXPECT_TRUE(known) << std::hex << code << " reads as " << key;
        EXPECT_NE(key, key_escape) << std::hex << code;
    }
}

}  // namespace
}  // namespace qm
