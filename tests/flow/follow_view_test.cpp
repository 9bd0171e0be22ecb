#include <gtest/gtest.h>

#include "flow/follow_view.h"

namespace qm {
namespace {

TEST(FollowView, JumpsHalfAScreenAndStaysInTheOpenArea) {
    Game g;
    g.open_min_x = 0;
    g.open_max_x = 320;
    g.open_min_y = 0;
    g.open_max_y = 100;

    // Inside the comfortable zone (columns 10..69, rows 6..20) nothing moves.
    follow_view(g, 170, 56);
    follow_view(g, 229, 70);
    EXPECT_EQ(g.view_x, 160);
    EXPECT_EQ(g.view_y, 50);

    follow_view(g, 169, 55);
    EXPECT_EQ(g.view_x, 120);
    EXPECT_EQ(g.view_y, 37);
    follow_view(g, 190, 58);  // column 70, row 21
    EXPECT_EQ(g.view_x, 160);
    EXPECT_EQ(g.view_y, 50);

    // A far target takes several jumps in one call.
    follow_view(g, 300, 110);
    EXPECT_EQ(g.view_x, 240);  // 300 <= 240 + 69
    EXPECT_EQ(g.view_y, 100);  // 50 + 4 * 13 = 102, clamped to open_max_y
    follow_view(g, 5, 3);
    EXPECT_EQ(g.view_x, 0);    // -40 clamped
    EXPECT_EQ(g.view_y, 0);    // -4 clamped
}

TEST(FollowView, ClampsToTheStartSector) {
    Game g;  // a new game's bounds: the start sector only
    follow_view(g, 150, 60);
    EXPECT_EQ(g.view_x, 160);
    EXPECT_EQ(g.view_y, 50);
    follow_view(g, 239, 74);
    EXPECT_EQ(g.view_x, 160);
    EXPECT_EQ(g.view_y, 50);
}

}  // namespace
}  // namespace qm
