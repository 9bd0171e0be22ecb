#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include <curses.h>
#include <fcntl.h>
#include <unistd.h>

#include "console/curses_drawing.h"
#include "console/curses_keys.h"
#include "console/curses_restore.h"
#include "console/keys.h"

namespace qm {
namespace {

// Curses' own numbering: 0 black, 1 red, 2 green, 3 yellow, 4 blue, 5 magenta, 6 cyan, 7 white.
TEST(CursesColours, TranslatedAndBrightWhereTheTerminalCan) {
    for (const bool sixteen : {false, true}) {
        std::map<int, CursesPair> pairs{{0, CursesPair{0, 7, 0}}};  // pair 0 is left to curses
        for (const CursesPair& p : curses_pairs(sixteen)) EXPECT_TRUE(pairs.emplace(p.pair, p).second) << p.pair;
        ASSERT_EQ(pairs.size(), sixteen ? 128u : 64u);
        const auto colours = [&](int fg, int bg, int bright) {
            const ColourAttribute a = curses_attribute(fg, bg, bright, sixteen);
            return std::tuple(pairs.at(a.pair).fg, pairs.at(a.pair).bg, a.bold);
        };
        // Console blue 1 and red 4 swap, and so do cyan 3 and brown 6.
        EXPECT_EQ(std::tuple(colours(4, 1, 0), colours(6, 3, 0), colours(7, 0, 0)),
                  std::tuple(std::tuple(1, 4, false), std::tuple(3, 6, false), std::tuple(7, 0, false)));
        // Bright: a colour of its own where there are 16, so dark grey shows; bold otherwise.
        EXPECT_EQ(colours(0, 0, 1), sixteen ? std::tuple(8, 0, false) : std::tuple(0, 0, true));
        EXPECT_EQ(colours(4, 2, 1), sixteen ? std::tuple(9, 2, false) : std::tuple(1, 2, true));
        EXPECT_EQ(colours(7, 0, 1), sixteen ? std::tuple(15, 0, false) : std::tuple(7, 0, true));
    }
}

TEST(CursesKeys, OnlyRealKeysReachTheGame) {
    const std::map<int, int> keys = {
        {-1, key_none}, {KEY_RESIZE, key_none}, {0xE9, key_none},  // no key, a resize, a byte of text
        {'q', 'q'}, {27, key_escape}, {10, '\n'}, {127, 8}, {KEY_BACKSPACE, 8},  // not Ctrl-G by its low byte
        {KEY_HOME, '7'}, {KEY_END, '1'}, {KEY_PPAGE, '9'}, {KEY_NPAGE, '3'}, {KEY_UP, '8'}, {KEY_LEFT, '4'},
        {KEY_B2, '5'}, {KEY_ENTER, '\n'}, {0x1C7, '1'}, {0x1FA, '0'}, {0x1CE, '.'}, {0x1CA, '/'},  // the keypad
    };
    for (const auto& [code, becomes] : keys) {
        EXPECT_EQ(normalise_key(key_low_byte(console_key(code))), becomes) << std::hex << code;
    }
    // No other curses code (function keys, modified keys, the mouse) reads as ESC or a letter.
    for (int code = 0x100; code < 0x400; ++code) {
        const int key = normalise_key(key_low_byte(console_key(code)));
        EXPECT_FALSE(key == key_escape || (key >= 'a' && key <= 'z')) << std::hex << code << " reads as " << key;
    }
}

// Input that can never bring a key again ends the game; input that merely has nothing waiting,
// or has a key waiting, does not.
TEST(CursesInput, OnlyInputThatCanBringNoKeyHasEnded) {
    const int null_input = open("/dev/null", O_RDONLY);
    EXPECT_TRUE(input_ended(null_input));  // always "ready", never a byte
    // A pseudo-terminal, as a terminal window or tmux gives the game.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
    const int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    char keys[2];
    ASSERT_EQ(write(master, "6\n", 2), 2);
    EXPECT_FALSE(input_ended(slave));  // a key waiting
    ASSERT_EQ(read(slave, keys, 2), 2);
    EXPECT_FALSE(input_ended(slave));  // the player has not typed yet
    close(master);  // the window closed
    EXPECT_TRUE(input_ended(slave));
    for (int fd : {null_input, slave}) close(fd);
}

}  // namespace
}  // namespace qm
