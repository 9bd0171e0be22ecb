#include <gtest/gtest.h>

#include "units/barrier_dissolve.h"

namespace qm {
namespace {

constexpr Cell barrier{glyph_barrier, 0, 7, 0};
constexpr Cell wall{219, 7, 0, 0};

void lay_ring(Game& g, int x0, int y0, int x1, int y1) {
    for (int x = x0; x <= x1; ++x) map_cell(g, x, y0) = map_cell(g, x, y1) = barrier;
    for (int y = y0; y <= y1; ++y) map_cell(g, x0, y) = map_cell(g, x1, y) = barrier;
}

int barrier_cells(const Game& g) {
    int n = 0;
    for (const Cell& c : g.map) n += c.glyph == glyph_barrier;
    return n;
}

TEST(BarrierDissolve, RingsCornersAndEdges) {
    Game g;
    lay_ring(g, 100, 40, 179, 64);
    lay_ring(g, 180, 65, 200, 80);  // touches the first only at a corner
    dissolve_barrier(g, 140, 64);
    EXPECT_EQ(barrier_cells(g), 2 * 21 + 2 * 16 - 4);
    EXPECT_EQ(map_cell(g, 100, 40), open_ground);
    map_cell(g, 181, 64) = Cell{glyph_barrier, 4, 0, 1};  // any 234 joins, whatever its colours
    dissolve_barrier(g, 181, 64);
    EXPECT_EQ(barrier_cells(g), 0);

    // No wrapping at the edges of the map; walls stop the flood; the start always goes.
    for (int x = 390; x < 400; ++x) map_cell(g, x, 0) = barrier;
    map_cell(g, 389, 124) = map_cell(g, 399, 124) = map_cell(g, 395, 2) = barrier;
    map_cell(g, 395, 1) = wall;
    map_cell(g, 10, 10) = wall;
    map_cell(g, 11, 10) = barrier;
    dissolve_barrier(g, 399, 0);
    dissolve_barrier(g, 10, 10);
    EXPECT_EQ(barrier_cells(g), 3);
    EXPECT_EQ(map_cell(g, 395, 1), wall);
    EXPECT_EQ(map_cell(g, 10, 10), open_ground);
}

TEST(BarrierDissolve, ThickPatchDissolvesInOneCall) {
    // A flood that queued every repeat would hold one copy per shortest path in each
    // generation: far beyond any fixed buffer, and beyond memory for a block like this.
    Game g;
    for (int x = 100; x < 200; ++x) {
        for (int y = 20; y < 100; ++y) map_cell(g, x, y) = barrier;
    }
    dissolve_barrier(g, 150, 60);
    EXPECT_EQ(barrier_cells(g), 0);
}

}  // namespace
}  // namespace qm
