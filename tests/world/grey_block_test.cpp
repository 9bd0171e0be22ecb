#include <gtest/gtest.h>

#include "world/grey_block.h"

namespace qm {
namespace {

TEST(GreyBlock, WearsDownShadeByShadeToGreenFloor) {
    Cell c{glyph_wall, 7, 4, 1};
    for (int glyph : {178, 177, 176}) {
        wear_down(c);
        EXPECT_TRUE(is_grey_block(c));
        EXPECT_EQ(c.glyph, glyph);
        EXPECT_EQ(c.fg, 7);
    }
    wear_down(c);
    EXPECT_FALSE(is_grey_block(c));
    // The floor is green; background and brightness are what the block had.
    EXPECT_EQ(c.glyph, glyph_floor);
    EXPECT_EQ(c.fg, 2);
    EXPECT_EQ(c.bg, 4);
    EXPECT_EQ(c.bright, 1);
    // Floor and other cells are not walls to wear: nothing changes.
    for (Cell other : {open_ground, source_cell, Cell{glyph_barrier, 0, 7, 0}}) {
        const Cell before = other;
        wear_down(other);
        EXPECT_EQ(other.glyph, before.glyph);
        EXPECT_EQ(other.fg, before.fg);
        EXPECT_FALSE(is_grey_block(other));
    }
    EXPECT_FALSE(is_grey_block(Cell{glyph_wall, 2, 0, 0}));
    EXPECT_TRUE(is_grey_block(Cell{176, 7, 0, 0}));
}

}  // namespace
}  // namespace qm
