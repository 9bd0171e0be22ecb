#include <gtest/gtest.h>

#include "units/barrier_dissolve.h"

namespace qm {
namespace {

constexpr Cell barrier{glyph_barrier, 0, 7, 0};

// A one-cell-wide rectangular ring with corners (x0, y0) and (x1, y1).
void lay_ring(Game& g, int x0, int y0, int x1, int y1) {
    for (int x = x0; x <= x1; ++x) map_cell(g, x, y0) = map_cell(g, x, y1) = barrier;
    for (int y = y0; y <= y1; ++y) map_cell(g, x0, y) = map_cell(g, x1, y) = barrier;
}

int barrier_cells(const Game& g) {
    int n = 0;
    for (const Cell& c : g.map) n += c.glyph == glyph_barrier;
    return n;
}

TEST(BarrierDissolve, WholeRingGoesButACornerNeighbourStays) {
    Game g;
    lay_ring(g, 100, 40, 179, 64);
    lay_ring(g, 180, 65, 200, 80);  // touches the first only at the corner (179, 64)-(180, 65)
    const int second_ring = 2 * 21 + 2 * 16 - 4;
    dissolve_barrier(g, 140, 64);
    EXPECT_EQ(barrier_cells(g), second_ring);
    EXPECT_EQ(map_cell(g, 179, 64), open_ground);
    EXPECT_EQ(map_cell(g, 100, 40), open_ground);
    EXPECT_EQ(map_cell(g, 180, 65), barrier);

    // The colours are not looked at: any 234 joined to the ring goes with it.
    map_cell(g, 181, 64) = Cell{glyph_barrier, 4, 0, 1};
    dissolve_barrier(g, 180, 70);
    EXPECT_EQ(barrier_cells(g), 0);
}

TEST(BarrierDissolve, EdgesDoNotWrapAndOtherGlyphsStopTheFlood) {
    Game g;
    // A barrier along row 0 and one down column 399; the flood must not run onto the
    // neighbouring column's last row or the next column's first row.
    for (int x = 390; x < 400; ++x) map_cell(g, x, 0) = barrier;
    map_cell(g, 389, 124) = barrier;   // would be "north" of (390, 0) if indexes wrapped
    map_cell(g, 399, 124) = barrier;   // south end of column 399, not joined to row 0
    map_cell(g, 398, 124) = Cell{219, 7, 0, 0};
    map_cell(g, 395, 1) = Cell{219, 7, 0, 0};
    map_cell(g, 395, 2) = barrier;     // behind a wall
    dissolve_barrier(g, 399, 0);
    EXPECT_EQ(map_cell(g, 390, 0), open_ground);
    EXPECT_EQ(map_cell(g, 389, 124), barrier);
    EXPECT_EQ(map_cell(g, 399, 124), barrier);
    EXPECT_EQ(map_cell(g, 395, 2), barrier);
    EXPECT_EQ(map_cell(g, 395, 1), (Cell{219, 7, 0, 0}));

    // A start cell that is no barrier still becomes floor; nothing else changes.
    map_cell(g, 10, 10) = Cell{219, 7, 0, 0};
    map_cell(g, 11, 10) = barrier;
    map_cell(g, 12, 10) = barrier;
    dissolve_barrier(g, 10, 10);
    EXPECT_EQ(map_cell(g, 10, 10), open_ground);
    EXPECT_EQ(map_cell(g, 12, 10), open_ground);
}

TEST(BarrierDissolve, ThickPatchDissolvesInOneCall) {
    // A solid block: a flood that queued every repeat would hold, in each generation, one copy
    // per shortest path to a cell, far beyond any fixed buffer and beyond memory.
    Game g;
    for (int x = 100; x < 200; ++x) {
        for (int y = 20; y < 100; ++y) map_cell(g, x, y) = barrier;
    }
    dissolve_barrier(g, 150, 60);
    EXPECT_EQ(barrier_cells(g), 0);
}

}  // namespace
}  // namespace qm
