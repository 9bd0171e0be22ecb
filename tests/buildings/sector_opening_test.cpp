#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <tuple>

#include "support/world_builders.h"
#include "buildings/sector_opening.h"
#include "units/combat.h"

namespace qm::test {

constexpr Cell grey_block{glyph_wall, 7, 0, 0};

// Sector (sx, sy) opens at stage 5 sy + sx + 1: row by row from the north-west corner.
static void lay_row_grid(Game& g, int stage) {
    for (int i = 0; i < 25; ++i) g.sector_grid[i] = static_cast<std::uint8_t>(i % 5 * 5 + i / 5 + 1);
    g.stage = stage - 1;
}

// Only the sector being opened gets a ring, and a fresh map has no source.
static long count_glyph(const Game& g, int glyph) {
    return std::count_if(g.map.begin(), g.map.end(), [&](const Cell& c) { return c.glyph == glyph; });
}

TEST(SectorOpening, CountsSitesKeysSourcesAndTheLastStage) {
    // Opens stage s after d megabosses. A third of the new sector's sites already hold a
    // building, and the map is grey blocks but for rows 12 to 112.
    std::map<int, std::set<int>> nodes, airfields;
    std::set<int> ringed;
    for (std::uint32_t i = 1; i <= 400; ++i) {
        for (auto [stage, defeated] : {std::pair{2, 0}, {5, 1}, {8, 4}, {16, 20}}) {
            if (stage > 2 && i > 150) continue;  // an airfield at stage 2 would be rarer still
            const int x0 = 80 * ((stage - 1) % 5), y0 = 25 * ((stage - 1) / 5);
            Game g;
            lay_row_grid(g, stage);
            g.megabosses_defeated = defeated;
            std::fill(g.map.begin(), g.map.end(), grey_block);
            for (int x = 0; x < 400; ++x) std::fill_n(&map_cell(g, x, 12), 101, open_ground);
            for (int x = x0 + 10; x < x0 + 70; x += 3) {
                for (int y = y0 + 5; y <= y0 + 20; ++y) put_building(g, building_barricade, 1, x, y);
            }
            const std::size_t crowd = g.buildings.size();
            g.seed = spread_seed(i);
            open_next_stage(g);

            std::map<int, int> count;
            std::set<int> node_factions;
            std::set<std::pair<int, int>> cells;
            for (std::size_t b = 0; b < g.buildings.size(); ++b) {
                const Building& at = *g.buildings[b];
                EXPECT_TRUE(cells.insert({at.x, at.y}).second) << "two buildings on one cell";
                if (b < crowd) continue;
                ++count[at.kind];
                if (at.kind == building_key) {
                    // Only on floor of a sector opened before, never in the ring it unlocks.
                    EXPECT_LT(g.sector_grid[sector_index(at.x, at.y)], stage);
                    EXPECT_EQ(map_cell(g, at.x, at.y).glyph, glyph_floor);
                    continue;
                }
                EXPECT_TRUE(at.x >= x0 + 10 && at.x < x0 + 70 && at.y >= y0 + 5 && at.y <= y0 + 20);
                if (at.kind == building_corrupted_node) node_factions.insert(at.faction);
                else EXPECT_TRUE(node_factions.count(at.faction)) << "a breeder of its own sector's factions";
            }
            // Every corrupted node has its guardian of its faction on its cell.
            ASSERT_EQ(g.units.size(), static_cast<std::size_t>(count[building_corrupted_node]));
            for (std::size_t u = 0; u < g.units.size(); ++u) {
                const Unit& boss = *g.units[u];
                const Building& node = *g.buildings[crowd + u];
                EXPECT_EQ(std::tuple(boss.kind, boss.faction, boss.x, boss.y),
                          std::tuple(unit_boss, node.faction, node.x, node.y));
                const int base = std::min(3 * stage + 10 * defeated + 15, 50);
                EXPECT_EQ(boss.max_hit_points, base + stat(g, boss, power_toughness));
            }
            const int h = defeated / 2, n = count[building_corrupted_node], b = count[building_barracks];
            const int a = count[building_airfield];
            EXPECT_TRUE(n >= std::min(defeated + 1, 10) && n <= 10 && b >= std::min(h + 1, 10) && b <= 10);
            EXPECT_TRUE(a >= std::min(h, 2) && a <= (stage > 2 ? 3 : 0));
            nodes[stage].insert(n), airfields[stage].insert(a);
            // Grey-block strips four times in five (the west one always covers rows 8 to
            // 15), or else a barrier ring and its key.
            if (count[building_key] != 0) ringed.insert(stage);
            if (count[building_key] != 0) EXPECT_EQ(count_glyph(g, glyph_barrier), 2 * 78 + 2 * 21);
            else EXPECT_EQ(map_cell(g, x0 + 2, y0 + 12), grey_block);
        }
    }
    // Extra nodes on low draws; no airfield before stage 3; the coin from stage 5; the first
    // cap at two, which the later draws may pass; ten nodes at most.
    EXPECT_TRUE(nodes[2].size() > 1 && airfields[5].count(1));
    EXPECT_EQ(std::tuple(airfields[2], airfields[8], nodes[16], airfields[16]),
              std::tuple(std::set<int>{0}, std::set<int>{2, 3}, std::set<int>{10}, std::set<int>{2, 3}));
    EXPECT_EQ(ringed, (std::set<int>{2, 5, 8, 16}));

    bool crowded_ring = false;
    for (std::uint32_t seed = 1; seed <= 30; ++seed) {
        // Every site of (1, 0) built over and (0, 0), the only sector opened before, walled
        // up: the opening ends all the same, lays no hostile building, boss or key, and still
        // lays terrain and widens the bounds.
        Game c;
        lay_row_grid(c, 2);
        std::fill_n(c.map.begin(), 80 * 125, grey_block);
        for (int x = 90; x < 150; ++x) {
            for (int y = 5; y <= 20; ++y) put_building(c, building_barricade, 1, x, y);
        }
        c.seed = spread_seed(seed);
        open_next_stage(c);
        EXPECT_EQ(std::tuple(c.stage, c.buildings.size(), c.units.size(), c.open_min_x <= 80),
                  std::tuple(2, 60u * 16, 0u, true));
        const bool ring = count_glyph(c, glyph_barrier) > 0;
        crowded_ring = crowded_ring || ring;
        EXPECT_TRUE(ring || map_cell(c, 82, 10) == grey_block);

        // The fifth sector opened gets a source, the sixth none (one on the map after both);
        // walls are laid as a glyph only, so those on open ground stay green and clear once
        // the sector behind them opens.
        Game h;
        h.seed = spread_seed(seed);
        lay_row_grid(h, 5);
        h.sweep_column = 239;
        open_next_stage(h);
        EXPECT_EQ(std::tuple(h.sweep_column, h.stage, count_glyph(h, glyph_source)), std::tuple(-1, 5, 1));
        EXPECT_EQ(map_cell(h, 40, 24), (Cell{glyph_wall, 2, 0, 0}));
        // The open top row is fenced at the map's edges and along the closed row below, not
        // between its own sectors; the closed sectors are solid.
        const auto glyphs = [&](auto... cells) { return std::array{map_cell(h, cells.first, cells.second).glyph...}; };
        EXPECT_EQ(glyphs(std::pair{0, 10}, std::pair{399, 10}, std::pair{200, 0}, std::pair{79, 10}, std::pair{200, 40}),
                  (std::array<std::uint8_t, 5>{glyph_wall, glyph_wall, glyph_wall, glyph_floor, glyph_wall}));
        open_next_stage(h);
        // (0, 1) opens under the open (0, 0): no fence between them, one along the closed (0, 2).
        EXPECT_EQ(std::tuple(count_glyph(h, glyph_source), map_cell(h, 40, 24), map_cell(h, 40, 25).glyph,
                             map_cell(h, 40, 49).glyph),
                  std::tuple(1, open_ground, glyph_floor, glyph_wall));
    }
    EXPECT_TRUE(crowded_ring);

    // Nothing left to open: the stage still rises and the walls are redrawn, but nothing is
    // drawn at random and more_sectors is cleared.
    Game e;
    lay_row_grid(e, 26);
    map_cell(e, 240, 60).glyph = glyph_wall;
    const std::uint32_t seed = e.seed;
    open_next_stage(e);
    EXPECT_EQ(std::tuple(e.stage, e.more_sectors, e.seed, e.buildings.size()), std::tuple(26, 0, seed, 0u));
    EXPECT_EQ(std::tuple(map_cell(e, 240, 60).glyph, map_cell(e, 0, 60).glyph), std::tuple(glyph_floor, glyph_wall));
}

}  // namespace qm::test
