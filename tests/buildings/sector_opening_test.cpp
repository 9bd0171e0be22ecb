#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "buildings/sector_opening.h"
#include "support/world_builders.h"

namespace qm::test {

// Sectors open row by row from the north-west corner. Sector (1, 0) opens second, every one of
// its sites built over, and the only sector opened before it walled up, so no key finds a cell
// either: the opening ends all the same, lays no hostile building, boss or key, and still widens
// the open area.
TEST(SectorOpening, ACrowdedSectorStillOpensAndOnlyClosedSidesAreFenced) {
    Game c, h;
    for (Game* g : {&c, &h}) {
        for (int i = 0; i < 25; ++i) g->sector_grid[i] = static_cast<std::uint8_t>(i % 5 * 5 + i / 5 + 1);
    }
    c.stage = 1;
    std::fill_n(c.map.begin(), 80 * 125, Cell{glyph_wall, 7, 0, 0});
    for (int x = 90; x < 150; ++x) {
        for (int y = 5; y <= 20; ++y) put_building(c, building_barricade, 1, x, y);
    }
    open_next_stage(c);
    EXPECT_EQ(std::tuple(c.stage, c.buildings.size(), c.units.size(), c.open_min_x == 80),
              std::tuple(2, 60u * 16, 0u, true));
    // (0, 1) opens under the open (0, 0): no fence between them, one along the closed (0, 2).
    h.stage = 5;
    open_next_stage(h);
    EXPECT_EQ(std::tuple(map_cell(h, 40, 25).glyph, map_cell(h, 40, 49).glyph), std::tuple(glyph_floor, glyph_wall));
}

}  // namespace qm::test
