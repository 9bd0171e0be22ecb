#include <gtest/gtest.h>

#include <map>

#include "console/colour.h"
#include "console/keys.h"
#include "console/random.h"
#include "console/screen_buffer.h"

namespace qm {
namespace {

TEST(ScreenBuffer, CursorClampsToCentreAndTextCutsAtRightEdge) {
    ScreenBuffer s;
    set_cursor(s, 25, 10);
    EXPECT_EQ(s.pen.row, 12);
    EXPECT_EQ(s.pen.column, 40);
    set_cursor(s, 3, 80);
    EXPECT_EQ(s.pen.row, 12);
    EXPECT_EQ(s.pen.column, 40);

    set_cursor(s, 0, 75);
    put_text(s, "abcdefghij");
    EXPECT_EQ(s.pen.column, 80);
    EXPECT_EQ(row_text(s, 0).substr(75), "abcde");

    put_glyph(s, 'z');  // column 80: stored nowhere, cursor still moves
    EXPECT_EQ(s.pen.column, 81);
    EXPECT_EQ(row_text(s, 1), std::string(80, ' '));
}

TEST(ScreenBuffer, CentredTextAndClearing) {
    ScreenBuffer s;
    put_centred(s, 4, "Learn the rules as you go.");
    EXPECT_EQ(row_text(s, 4).find("Learn"), 27u);
    put_centred(s, 5, "x");
    EXPECT_EQ(row_text(s, 5).find('x'), 39u);
    put_centred(s, 6, std::string(81, 'y'));  // too long: lands at the centre
    EXPECT_EQ(row_text(s, 12).find('y'), 40u);
    put_centred(s, 8, "ab");  // even lengths lean left of centre
    EXPECT_EQ(row_text(s, 8).find("ab"), 39u);
    put_centred(s, 9, std::string(80, 'z'));  // exactly a row: from column 0 to 79
    EXPECT_EQ(row_text(s, 9), std::string(80, 'z'));
    EXPECT_EQ(s.pen.column, 80);

    // An empty text: the unsigned length - 1 is huge, so the cursor goes to the centre, and
    // nothing is written.
    const ScreenBuffer before = s;
    set_cursor(s, 2, 2);
    put_centred(s, 3, "");
    EXPECT_EQ(s.pen.row, 12);
    EXPECT_EQ(s.pen.column, 40);
    put_text(s, "");
    EXPECT_EQ(s.pen.column, 40);
    EXPECT_EQ(s.cells, before.cells);

    set_colour(s, 4, 2, 1);
    clear_screen(s);
    for (const Cell& c : s.cells) EXPECT_EQ(c, (Cell{' ', 0, 0, 0}));
    EXPECT_EQ(s.pen.fg, 4);
    EXPECT_EQ(s.pen.bg, 2);
    EXPECT_EQ(s.pen.bright, 1);
}

TEST(ScreenBuffer, CellsAreColumnMajorAndClipDropsGlyphs) {
    ScreenBuffer s;
    set_colour(s, 3, 1, 0);
    set_cursor(s, 2, 5);
    put_glyph(s, 219);
    EXPECT_EQ(s.cells[5 * 25 + 2], (Cell{219, 3, 1, 0}));
    set_clip(s, 10, 20, 0, 24);
    set_cursor(s, 0, 9);
    put_text(s, "ab");
    EXPECT_EQ(s.at(9, 0).glyph, ' ');
    EXPECT_EQ(s.at(10, 0).glyph, 'b');
}

TEST(Random, SequenceFromSeedZeroAndRanges) {
    std::uint32_t seed = 0;
    EXPECT_EQ(random_step(seed), 99979777u);
    EXPECT_EQ(random_step(seed), 1584092622u);

    // A double product truncated, never rounded, and never a 32-bit product that overflows.
    seed = 0;
    EXPECT_EQ(random_below(seed, 100), 4);   // 4.66
    EXPECT_EQ(random_below(seed, 100), 73);  // 73.77
    seed = 0;
    EXPECT_EQ(random_below(seed, 1000000), 46556);  // 46556.71

    seed = 12345;
    const std::uint32_t before = seed;
    EXPECT_EQ(random_below(seed, 1), 0);
    EXPECT_NE(seed, before);
    const std::uint32_t again = seed;
    EXPECT_EQ(random_below(seed, 0), 0);
    EXPECT_NE(seed, again);
    for (int i = 0; i < 10000; ++i) {
        const int r = random_below(seed, 7);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 7);
        ASSERT_LT(seed, 0x80000000u);
    }
}

TEST(Keys, LettersArrowsAndKeypadNormalise) {
    EXPECT_EQ(normalise_key('Q'), 'q');
    EXPECT_EQ(normalise_key('q'), 'q');
    EXPECT_EQ(normalise_key(key_low_byte(0x103)), '8');  // cursor up
    EXPECT_EQ(normalise_key(key_low_byte(0x102)), '2');
    EXPECT_EQ(normalise_key(key_low_byte(0x104)), '4');
    EXPECT_EQ(normalise_key(key_low_byte(0x105)), '6');
    EXPECT_EQ(normalise_key(key_low_byte(0x1C1)), '7');
    EXPECT_EQ(normalise_key(key_low_byte(0x1C9)), '3');
    EXPECT_EQ(normalise_key(key_low_byte(0x1CB)), '\n');
    EXPECT_EQ(normalise_key(key_low_byte(0x1FA)), '0');
    EXPECT_EQ(normalise_key(3), '8');  // Ctrl-C's byte is cursor up's low byte
    EXPECT_EQ(normalise_key('7'), '7');
    EXPECT_EQ(normalise_key(27), 27);
    EXPECT_EQ(normalise_key('['), '[');

    // The whole table by low byte, and every other byte but the capitals passes unchanged.
    const std::map<int, int> table = {
        {0x02, '2'}, {0x03, '8'}, {0x04, '4'}, {0x05, '6'}, {0xC1, '7'}, {0xC2, '8'}, {0xC3, '9'},
        {0xC4, '4'}, {0xC5, '5'}, {0xC6, '6'}, {0xC7, '1'}, {0xC8, '2'}, {0xC9, '3'}, {0xFA, '0'},
        {0xCE, '.'}, {0xCB, '\n'}, {0xD1, '+'}, {0xD0, '-'}, {0xCF, '*'}, {0xCA, '/'},
    };
    for (int key = 0; key < 256; ++key) {
        const auto entry = table.find(key);
        const int want = entry != table.end() ? entry->second : key >= 'A' && key <= 'Z' ? key + 32 : key;
        EXPECT_EQ(normalise_key(key), want) << "key " << key;
    }
}

TEST(Colour, PairsAndAttributes) {
    EXPECT_EQ(colour_attribute(7, 0, 0).pair, 0);
    EXPECT_FALSE(colour_attribute(7, 0, 0).bold);
    EXPECT_TRUE(colour_attribute(7, 0, 1).bold);
    EXPECT_EQ(colour_attribute(0, 0, 1).pair, 56);
    EXPECT_EQ(colour_attribute(2, 0, 0).pair, 16);
    EXPECT_EQ(colour_attribute(4, 2, 1).pair, 34);
    EXPECT_EQ(colour_attribute(7, 5, 0).pair, 61);

    const PairTable table = colour_pairs();
    bool seen[64] = {};
    for (const PairDefinition& p : table.pairs) {
        ASSERT_GE(p.pair, 1);
        ASSERT_LE(p.pair, 63);
        EXPECT_FALSE(seen[p.pair]) << p.pair;
        seen[p.pair] = true;
        if (p.pair == 56) {
            EXPECT_EQ(p.fg, 0);
            EXPECT_EQ(p.bg, 0);
        } else {
            EXPECT_EQ(p.pair, p.fg * 8 + p.bg);
        }
    }
    EXPECT_EQ(table.pairs[0].pair, 56);  // created first

    // Every cell's colours are drawn with a pair that was created, or with curses' pair 0.
    for (int fg = 0; fg < 8; ++fg) {
        for (int bg = 0; bg < 8; ++bg) {
            const int pair = colour_attribute(fg, bg, 0).pair;
            if (fg == 7 && bg == 0) {
                EXPECT_EQ(pair, 0);
                continue;
            }
            ASSERT_TRUE(seen[pair]) << fg << " on " << bg;
            for (const PairDefinition& p : table.pairs) {
                if (p.pair != pair) continue;
                EXPECT_TRUE(p.fg == fg && p.bg == bg) << fg << " on " << bg;
            }
        }
    }
}

}  // namespace
}  // namespace qm
