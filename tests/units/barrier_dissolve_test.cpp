#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "units/barrier_dissolve.h"

namespace qm::test {

TEST(BarrierDissolve, RingsCornersEdgesAndThickPatches) {
    constexpr Cell barrier{glyph_barrier, 0, 7, 0}, wall{219, 7, 0, 0};
    Game g;
    const auto fill = [&](int x0, int y0, int x1, int y1, bool ring) {
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y) {
                if (!ring || x == x0 || x == x1 || y == y0 || y == y1) map_cell(g, x, y) = barrier;
            }
        }
    };
    const auto is_barrier = [](const Cell& c) { return c.glyph == glyph_barrier; };
    const auto left = [&] { return std::count_if(g.map.begin(), g.map.end(), is_barrier); };
    fill(100, 40, 179, 64, true), fill(180, 65, 200, 80, true);  // touching only at a corner
    dissolve_barrier(g, 140, 64);
    EXPECT_EQ(std::tuple(left(), map_cell(g, 100, 40)), std::tuple(2 * 21 + 2 * 16 - 4, open_ground));
    map_cell(g, 181, 64) = Cell{glyph_barrier, 4, 0, 1};  // any 234 joins, whatever its colours
    dissolve_barrier(g, 181, 64);
    EXPECT_EQ(left(), 0);

    // No wrapping at the edges of the map; walls stop the flood; the start always goes.
    fill(390, 0, 399, 0, false);
    map_cell(g, 389, 124) = map_cell(g, 399, 124) = map_cell(g, 395, 2) = map_cell(g, 11, 10) = barrier;
    map_cell(g, 395, 1) = map_cell(g, 10, 10) = wall;
    dissolve_barrier(g, 390, 0), dissolve_barrier(g, 10, 10);
    EXPECT_EQ(std::tuple(left(), map_cell(g, 395, 1), map_cell(g, 10, 10)), std::tuple(3, wall, open_ground));

    // A flood that queued every repeat would hold one copy per shortest path in each
    // generation: far beyond any fixed buffer, and beyond memory for a block like this.
    fill(100, 20, 199, 99, false);
    dissolve_barrier(g, 150, 60);
    EXPECT_EQ(left(), 3);
}

}  // namespace qm::test
