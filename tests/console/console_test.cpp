#include <gtest/gtest.h>

#include <tuple>

#include "console/pacing.h"
#include "console/screen_buffer.h"
#include "support/scripted_terminal.h"

namespace qm {
namespace {

TEST(ScreenBuffer, CursorTextAndCentring) {
    ScreenBuffer s;
    // Anywhere off the screen puts the cursor at the centre, row 12, column 40.
    for (const auto& [row, column] : {std::pair{25, 10}, {3, 80}, {-1, 5}, {5, -1}}) {
        set_cursor(s, 2, 2);
        set_cursor(s, row, column);
        EXPECT_EQ(std::pair(s.pen.row, s.pen.column), std::pair(12, 40)) << row << "," << column;
    }
    // Text stops at the right edge; a glyph past it is stored nowhere, yet the cursor moves.
    set_cursor(s, 0, 75);
    put_text(s, "abcdefghij");
    put_glyph(s, 'z');
    EXPECT_EQ(std::tuple(row_text(s, 0).substr(74), row_text(s, 1), s.pen.column),
              std::tuple(" abcde", std::string(80, ' '), 81));
    // Inside a clip rectangle only: columns 10 to 20 of rows 5 and 6.
    set_clip(s, 10, 20, 5, 6);
    for (int row : {4, 5, 7}) set_cursor(s, row, 8), put_text(s, "abcdefghijklmnop");
    EXPECT_EQ(std::tuple(row_text(s, 5).substr(8, 15), row_text(s, 4) + row_text(s, 7)),
              std::tuple("  cdefghijklm  ", std::string(160, ' ')));
    set_clip(s, 0, 79, 0, 24);
    // Centred text: odd lengths on column 39, even ones lean left, a full row from column 0, a
    // longer one from the centre on; an empty text moves the cursor there and writes nothing.
    const std::pair<std::string, std::size_t> centred[] = {{"x", 39}, {"ab", 39}, {std::string(80, 'z'), 0}};
    for (int i = 0; i < 3; ++i) {
        put_centred(s, 4 + i, centred[i].first);
        EXPECT_EQ(row_text(s, 4 + i).find(centred[i].first), centred[i].second) << centred[i].first;
    }
    put_centred(s, 9, std::string(81, 'y'));
    EXPECT_EQ(row_text(s, 12), std::string(40, ' ') + std::string(40, 'y'));
    const ScreenBuffer before = s;
    put_centred(s, 3, "");
    EXPECT_EQ(std::tuple(s.pen.row, s.pen.column, s.cells), std::tuple(12, 40, before.cells));
}

}  // namespace
}  // namespace qm
