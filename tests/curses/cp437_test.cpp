#include <gtest/gtest.h>

#include <clocale>
#include <cwchar>
#include <set>

#include "console/cp437.h"

namespace qm {
namespace {

TEST(CodePage437, EveryGlyphIsOnePrintableCharacterOfItsOwn) {
    // The pictographs the map and the screens use, shades and blocks, a line, letters.
    const std::pair<int, char32_t> glyphs[] = {
        {0, U' '},        {4, U'\u2666'},   {13, U'\u266A'},  {15, U'\u263C'},  {19, U'\u203C'},  {24, U'\u2191'},
        {30, U'\u25B2'},  {127, U'\u2302'}, {130, U'\u00E9'}, {157, U'\u00A5'}, {176, U'\u2591'}, {178, U'\u2593'},
        {205, U'\u2550'}, {219, U'\u2588'}, {250, U'\u00B7'}, {254, U'\u25A0'}, {'A', U'A'}};
    for (const auto& [glyph, unicode] : glyphs) EXPECT_EQ(cp437_unicode[glyph], unicode) << glyph;
    // No control code ever reaches the terminal, glyphs 1..255 are 255 different characters,
    // and each takes exactly one column, or the rows of the screen would shift.
    for (const char32_t c : cp437_unicode) EXPECT_FALSE(c < 0x20 || (c >= 0x7F && c <= 0x9F)) << std::uint32_t{c};
    std::set<char32_t> seen(cp437_unicode.begin() + 1, cp437_unicode.end());
    EXPECT_EQ(seen.size(), 255u);
    if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) GTEST_SKIP() << "no C.UTF-8 locale";
    for (int g = 0; g < 256; ++g) EXPECT_EQ(wcwidth(static_cast<wchar_t>(cp437_unicode[g])), 1) << g;
    std::setlocale(LC_CTYPE, "C");
}

// Without Unicode, every glyph has a printable ASCII stand-in and may have a line-drawing one.
TEST(CodePage437, StandInsArePrintableAsciiOrLineDrawing) {
    const std::string acs_letters = "`afgjklmnqtuvwxyz{}~,+-.0";
    for (const GlyphStandIn s : cp437_stand_ins) {
        EXPECT_TRUE(s.ascii >= 32 && s.ascii <= 126 && (s.acs == 0 || acs_letters.find(s.acs) != std::string::npos))
            << s.acs << s.ascii;
    }
    EXPECT_EQ(std::pair(cp437_stand_ins['A'].ascii, cp437_stand_ins[130].ascii), std::pair('A', 'e'));  // no accents
    // Shades are the checker board, blocks the solid block, lines keep their shape (double
    // ones drawn single), arrows are arrows.
    const std::pair<int, char> line_drawing[] = {
        {176, 'a'}, {178, 'a'}, {219, '0'}, {223, '0'}, {179, 'x'}, {186, 'x'}, {205, 'q'}, {218, 'l'}, {191, 'k'},
        {192, 'm'}, {188, 'j'}, {206, 'n'}, {195, 't'}, {180, 'u'}, {193, 'v'}, {194, 'w'}, {24, '-'},  {25, '.'},
        {26, '+'},  {27, ','},  {'A', 0},
    };
    for (const auto& [glyph, acs] : line_drawing) EXPECT_EQ(cp437_stand_ins[glyph].acs, acs) << glyph;
}

}  // namespace
}  // namespace qm
