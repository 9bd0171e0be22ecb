#include <gtest/gtest.h>


#include "console/cp437.h"

namespace qm {
namespace {

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
