#include <gtest/gtest.h>

#include <string>

#include "console/screen_writer.h"

namespace qm {
namespace {

// Codes that read as what they do: "M2,5" moves to row 2 column 5, ">3" three columns right,
// "F12" sets terminal colour 12 in front, "G4" behind, "B" bold, "R" resets.
TerminalCodes readable_codes(bool sixteen_colours) {
    TerminalCodes codes;
    codes.sixteen_colours = sixteen_colours;
    codes.reset = "R";
    codes.bold = "B";
    for (int c = 0; c < 16; ++c) codes.foreground[c] = "F" + std::to_string(c);
    for (int c = 0; c < 8; ++c) codes.background[c] = "G" + std::to_string(c);
    for (int row = 0; row < screen_rows; ++row) {
        for (int column = 0; column < screen_columns; ++column) {
            codes.move_to.push_back("M" + std::to_string(row) + "," + std::to_string(column));
        }
    }
    for (int n = 1; n < screen_columns; ++n) codes.move_right[n] = ">" + std::to_string(n);
    for (int g = 0; g < 256; ++g) codes.glyph[g] = std::string(1, static_cast<char>(g));
    return codes;
}

TEST(ScreenWriter, SendsOnlyWhatChangedWithTheFewestMovesAndPens) {
    ScreenWriter writer(readable_codes(true));
    ScreenBuffer shown, next;
    std::string out;
    writer.frame(shown, next, true, out);
    // The whole screen: one move and one pen, then 2,000 blanks; each new row needs a move.
    EXPECT_EQ(out.substr(0, 11), "M0,0RF0G0  ");
    EXPECT_EQ(out.size(), 9u + 2000u + 9u * 4u + 15u * 5u);

    // Console blue is terminal colour 4, red 1, brown 3; bright is the colour + 8 here. A hop
    // along the row is a short move right; the same pen is not set again.
    out.clear();
    shown = next;
    next.at(3, 2) = Cell{'a', 1, 0, 1};
    next.at(6, 2) = Cell{'b', 1, 0, 1};
    next.at(7, 2) = Cell{'c', 4, 6, 0};
    next.at(0, 9) = Cell{'d', 4, 6, 0};
    writer.frame(shown, next, false, out);
    EXPECT_EQ(out, "M2,3F12a>2bF1G3cM9,0d");
}

TEST(ScreenWriter, BoldStandsInForBrightWithoutSixteenColoursAndOnlyAResetEndsIt) {
    ScreenWriter writer(readable_codes(false));
    ScreenBuffer shown, next;
    next.at(0, 0) = Cell{'a', 7, 0, 1};
    next.at(1, 0) = Cell{'b', 7, 0, 1};
    next.at(2, 0) = Cell{'c', 7, 0, 0};
    std::string out;
    writer.frame(shown, next, false, out);
    EXPECT_EQ(out, "M0,0RBF7G0abRF7G0c");

    // Someone else wrote to the terminal: pen and cursor are set afresh.
    writer.forget();
    shown = next;
    next.at(3, 0) = Cell{'d', 7, 0, 0};
    out.clear();
    writer.frame(shown, next, false, out);
    EXPECT_EQ(out, "M0,3RF7G0d");

    // After the last column the cursor is wherever the terminal put it: the next cell moves.
    shown = next;
    next.at(79, 5) = Cell{'e', 7, 0, 0};
    next.at(0, 6) = Cell{'f', 7, 0, 0};
    out.clear();
    writer.frame(shown, next, false, out);
    EXPECT_EQ(out, "M5,79eM6,0f");
}

}  // namespace
}  // namespace qm
