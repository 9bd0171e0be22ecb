#include <gtest/gtest.h>

#include <clocale>
#include <cwchar>
#include <set>

#include "console/cp437.h"

namespace qm {
namespace {

bool is_control(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

TEST(CodePage437, PictographsShadesAndBlocksAreTheConsoleGlyphs) {
    EXPECT_EQ(cp437_unicode[0], U' ');
    EXPECT_EQ(cp437_unicode[1], U'\u263A');
    EXPECT_EQ(cp437_unicode[4], U'\u2666');
    EXPECT_EQ(cp437_unicode[13], U'\u266A');
    EXPECT_EQ(cp437_unicode[15], U'\u263C');
    EXPECT_EQ(cp437_unicode[19], U'\u203C');
    EXPECT_EQ(cp437_unicode[24], U'\u2191');
    EXPECT_EQ(cp437_unicode[30], U'\u25B2');
    EXPECT_EQ(cp437_unicode[31], U'\u25BC');
    EXPECT_EQ(cp437_unicode[127], U'\u2302');
    EXPECT_EQ(cp437_unicode[128], U'\u00C7');
    EXPECT_EQ(cp437_unicode[176], U'\u2591');
    EXPECT_EQ(cp437_unicode[177], U'\u2592');
    EXPECT_EQ(cp437_unicode[178], U'\u2593');
    EXPECT_EQ(cp437_unicode[179], U'\u2502');
    EXPECT_EQ(cp437_unicode[196], U'\u2500');
    EXPECT_EQ(cp437_unicode[205], U'\u2550');
    EXPECT_EQ(cp437_unicode[218], U'\u250C');
    EXPECT_EQ(cp437_unicode[219], U'\u2588');
    EXPECT_EQ(cp437_unicode[220], U'\u2584');
    EXPECT_EQ(cp437_unicode[223], U'\u2580');
    EXPECT_EQ(cp437_unicode[224], U'\u03B1');
    EXPECT_EQ(cp437_unicode[234], U'\u03A9');
    EXPECT_EQ(cp437_unicode[254], U'\u25A0');
    for (int g = 32; g < 127; ++g) EXPECT_EQ(cp437_unicode[g], static_cast<char32_t>(g)) << g;
}

TEST(CodePage437, EveryGlyphIsOnePrintableCharacterOfItsOwn) {
    std::set<char32_t> seen;
    for (int g = 0; g < 256; ++g) {
        EXPECT_FALSE(is_control(cp437_unicode[g])) << "glyph " << g;
        if (g != 0) seen.insert(cp437_unicode[g]);
    }
    // Glyphs 1..255 are 255 different characters (only 0 shares the blank with 32).
    EXPECT_EQ(seen.size(), 255u);

    // Each takes exactly one column, or the rows of the screen would shift.
    if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) GTEST_SKIP() << "no C.UTF-8 locale";
    for (int g = 0; g < 256; ++g) {
        EXPECT_EQ(wcwidth(static_cast<wchar_t>(cp437_unicode[g])), 1) << "glyph " << g;
    }
    std::setlocale(LC_CTYPE, "C");
}

TEST(CodePage437, StandInsArePrintableAsciiOrLineDrawing) {
    const std::string acs_letters = "`afgjklmnqtuvwxyz{}~,+-.0";
    for (int g = 0; g < 256; ++g) {
        const GlyphStandIn s = cp437_stand_ins[g];
        EXPECT_GE(s.ascii, 32) << "glyph " << g;
        EXPECT_LE(s.ascii, 126) << "glyph " << g;
        if (s.acs != 0) {
            EXPECT_NE(acs_letters.find(s.acs), std::string::npos) << "glyph " << g;
        }
    }
    EXPECT_EQ(cp437_stand_ins[0].ascii, ' ');
    EXPECT_EQ(cp437_stand_ins['A'].ascii, 'A');
    EXPECT_EQ(cp437_stand_ins['A'].acs, 0);
    EXPECT_EQ(cp437_stand_ins[130].ascii, 'e');  // accents fall away
    // Shades are the checker board, the blocks the solid block.
    for (int g : {176, 177, 178}) EXPECT_EQ(cp437_stand_ins[g].acs, 'a');
    for (int g : {219, 220, 221, 222, 223}) EXPECT_EQ(cp437_stand_ins[g].acs, '0');
    // Lines keep their shape, double ones drawn single.
    EXPECT_EQ(cp437_stand_ins[179].acs, 'x');
    EXPECT_EQ(cp437_stand_ins[186].acs, 'x');
    EXPECT_EQ(cp437_stand_ins[196].acs, 'q');
    EXPECT_EQ(cp437_stand_ins[205].acs, 'q');
    EXPECT_EQ(cp437_stand_ins[218].acs, 'l');
    EXPECT_EQ(cp437_stand_ins[201].acs, 'l');
    EXPECT_EQ(cp437_stand_ins[191].acs, 'k');
    EXPECT_EQ(cp437_stand_ins[192].acs, 'm');
    EXPECT_EQ(cp437_stand_ins[217].acs, 'j');
    EXPECT_EQ(cp437_stand_ins[188].acs, 'j');
    EXPECT_EQ(cp437_stand_ins[197].acs, 'n');
    EXPECT_EQ(cp437_stand_ins[206].acs, 'n');
    EXPECT_EQ(cp437_stand_ins[195].acs, 't');
    EXPECT_EQ(cp437_stand_ins[180].acs, 'u');
    EXPECT_EQ(cp437_stand_ins[193].acs, 'v');
    EXPECT_EQ(cp437_stand_ins[194].acs, 'w');
    EXPECT_EQ(cp437_stand_ins[24].acs, '-');  // the arrows
    EXPECT_EQ(cp437_stand_ins[25].acs, '.');
    EXPECT_EQ(cp437_stand_ins[26].acs, '+');
    EXPECT_EQ(cp437_stand_ins[27].acs, ',');
}

}  // namespace
}  // namespace qm
