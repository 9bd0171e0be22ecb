#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "records/name_entry.h"
#include "records/records_support.h"
#include "support/scripted_terminal.h"

namespace qm {
namespace {

TEST(NameEntry, TypingRules) {
    // The keys typed, the name shown last and its column, and whether it was saved (not on ESC).
    const std::tuple<std::vector<int>, std::string, int, bool> cases[] = {
        // Sixteen letters: the first 13 stay, and the last replaces the 14th each time.
        {{'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o', 'p', '\n'},
         "ABCDEFGHIJKLMP", 33, true},
        // Arrows type digits, blanks count, other keys (Ctrl-G among them) are ignored;
        // backspace, as 8 or DEL, takes the last character back.
        {{'A', 'b', 0x102, ' ', '9', '!', 7, '.', 'x', 8, 'y', 127, 127, '\n'}, "AB2 ", 38, true},
        {{8, 'q', 8, 8, 'z', '\r'}, "Z", 39, true},              // nothing to take back; Return ends
        {{0x1C1, 0x1CE, 'k', 0x1CB, 'x', '\n'}, "7K", 39, true},  // the keypad, its Enter ends
        {{'\n'}, "", 0, true},
        {{'a', 'b', key_escape, 'c', '\n'}, "AB", 39, false},
    };
    for (const auto& [keys, name, column, saved] : cases) {
        Game g;
        test::ScriptedTerminal t;
        g.terminal = &t;
        // Counter 7 is beaten (the values are unsigned), counter 8 only equalled.
        std::tie(g.record_statistics.counters[7], g.current_statistics.counters[7]) = std::pair(1u, 0x80000000u);
        std::tie(g.record_statistics.counters[8], g.current_statistics.counters[8]) = std::pair(4u, 4u);
        std::strcpy(g.record_statistics.holders[7].data(), "LONGERNAMEXXXX");
        std::strcpy(g.record_statistics.holders[8].data(), "OLD");
        t.type(keys);
        EXPECT_EQ(enter_name(g), !saved);
        // Only the name and its NUL are written: the older, longer name shows after it.
        const std::string old("LONGERNAMEXXXX\0", 15);
        const std::string held = saved ? name + '\0' + old.substr(name.size() + 1) : old;
        EXPECT_EQ(std::string(g.record_statistics.holders[7].data(), 15), held) << name;
        EXPECT_STREQ(g.record_statistics.holders[8].data(), "OLD");
        EXPECT_EQ(t.last_row(13), (std::string(column, ' ') + name + std::string(80, ' ')).substr(0, 80));
    }
}

}  // namespace
}  // namespace qm
