#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>

#include "building_fixtures.h"
#include "buildings/sector_opening.h"
#include "flow/sector_assignment.h"
#include "units/combat.h"

namespace qm {
namespace {

using test::put_building;
using test::put_unit;

// Sector (sx, sy) opens at stage 5 sy + sx + 1: row by row from the north-west corner.
void lay_row_grid(Game& g) {
    for (int sx = 0; sx < 5; ++sx) {
        for (int sy = 0; sy < 5; ++sy) g.sector_grid[sx * 5 + sy] = static_cast<std::uint8_t>(sy * 5 + sx + 1);
    }
}

int glyphs_in_sector(const Game& g, int sx, int sy, int glyph) {
    int n = 0;
    for (int x = 80 * sx; x < 80 * sx + 80; ++x) {
        for (int y = 25 * sy; y < 25 * sy + 25; ++y) n += map_cell(g, x, y).glyph == glyph;
    }
    return n;
}

TEST(SectorSweep, CrossesTheOpenAreaThenOpensTheNextStage) {
    // Each seed lays the grid differently: the new sector lies on any side of the start.
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        Game g;
        g.seed = seed;
        start_new_game(g);
        int sx = 0, sy = 0;
        for (int i = 0; i < 25; ++i) {
            if (g.sector_grid[i] == 2) sx = i / 5, sy = i % 5;
        }
        advance_sweep(g);
        EXPECT_EQ(g.sweep_column, -1);
        g.sweep_column = g.open_min_x;
        for (int frame = 1; frame < 80; ++frame) advance_sweep(g);
        EXPECT_EQ(g.sweep_column, 239);
        EXPECT_EQ(g.stage, 1);
        advance_sweep(g);
        EXPECT_EQ(g.stage, 2);
        EXPECT_EQ(g.sweep_column, -1);
        EXPECT_EQ(g.more_sectors, 1);
        EXPECT_EQ(g.open_min_x + g.open_max_x + g.open_min_y + g.open_max_y, 160 + 50 + 80 * sx + 25 * sy);
        // Every corrupted node has its boss, of its faction on its cell, 21 hit points + toughness.
        std::size_t boss = 3;
        for (const auto& b : g.buildings) {
            if (b->kind != building_corrupted_node || sector_index(b->x, b->y) != sx * 5 + sy) continue;
            const Unit& u = *g.units[boss++];
            EXPECT_EQ(u.kind, unit_boss);
            EXPECT_EQ(u.faction, b->faction);
            EXPECT_EQ(std::pair(u.x, u.y), std::pair(b->x, b->y));
            EXPECT_EQ(u.max_hit_points, 21 + stat(g, u, power_toughness));
        }
        EXPECT_EQ(boss, g.units.size());
        // The start wall toward the new sector is gone; closed sectors are solid.
        EXPECT_EQ(map_cell(g, sx == 3 ? 239 : sx == 1 ? 160 : 200, sy == 3 ? 74 : sy == 1 ? 50 : 62).glyph, glyph_floor);
        EXPECT_EQ(glyphs_in_sector(g, sx == 2 ? 0 : 2, sy == 2 ? 0 : 4, glyph_wall), 80 * 25);
    }
}

// What one opening on the row grid drew, worked out from the sequence of draws alone.
struct OpeningSeen {
    bool ringed = false, extra_nodes = false, coin_airfield = false, late_airfield = false;
    bool held_back_at_two = false;  // an airfield draw below the stage at stage 2
};

// Opens stage s after d megabosses on the row grid and checks every building, boss and key
// against the draws the opening must make in order. A third of the new sector's sites already
// hold a building, so sites are drawn again.
void check_opening(std::uint32_t seed, int stage, int defeated, OpeningSeen& seen) {
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", stage " << stage << ", " << defeated << " down");
    const int x0 = 80 * ((stage - 1) % 5), y0 = 25 * ((stage - 1) / 5);
    Game g;
    lay_row_grid(g);
    g.stage = stage - 1;
    g.megabosses_defeated = defeated;
    std::set<std::pair<int, int>> taken;
    for (int x = x0 + 10; x < x0 + 70; x += 3) {
        for (int y = y0 + 5; y <= y0 + 20; ++y) {
            put_building(g, building_barricade, 1, x, y);
            taken.insert({x, y});
        }
    }
    const std::size_t crowd = g.buildings.size();
    g.seed = seed;
    open_next_stage(g);

    std::uint32_t s = seed;
    auto r = [&](int n) { return random_below(s, n); };
    auto site = [&] {
        for (;;) {
            const int x = x0 + 10 + r(60), y = y0 + 5 + r(16);
            if (taken.insert({x, y}).second) return std::pair{x, y};
        }
    };
    if (stage % 5 == 0) {
        const int x = x0 + 10 + r(60), y = y0 + 5 + r(16);
        EXPECT_EQ(map_cell(g, x, y), source_cell);
    }
    const int h = defeated / 2;
    int nodes = std::min(defeated + 1, 10), barracks = std::min(h + 1, 10), airfields = h;
    if (stage >= 5 && r(2) == 1) {
        ++airfields;
        seen.coin_airfield = seen.coin_airfield || airfields <= 2;
    }
    airfields = std::min(airfields, 2);
    while (r(50) < stage && nodes < 10) ++nodes;
    while (r(50) < stage && barracks < 10) ++barracks;
    const int first_airfields = airfields;
    for (int draw = r(100); draw < stage && airfields < 3; draw = r(100)) {
        if (stage <= 2) {
            seen.held_back_at_two = true;
            break;
        }
        ++airfields;
    }
    seen.extra_nodes = seen.extra_nodes || nodes > std::min(defeated + 1, 10);
    seen.late_airfield = seen.late_airfield || airfields > first_airfields;

    std::vector<int> factions;
    std::size_t b = crowd;
    for (int i = 0; i < nodes; ++i, ++b) {
        ASSERT_LT(b, g.buildings.size());
        const Building& node = *g.buildings[b];
        EXPECT_EQ(node.kind, building_corrupted_node);
        EXPECT_EQ(node.phase, r(500));
        factions.push_back(r(16));
        EXPECT_EQ(node.faction, factions.back());
        EXPECT_EQ(std::pair(node.x, node.y), site());
        ASSERT_LT(static_cast<std::size_t>(i), g.units.size());
        const Unit& boss = *g.units[static_cast<std::size_t>(i)];
        EXPECT_EQ(std::tuple(boss.kind, boss.faction, boss.x, boss.y), std::tuple(9, node.faction, node.x, node.y));
        for (int k = 0; k < 8; ++k) EXPECT_EQ(boss.carry_slots[k].phase, r(500));
        for (int k = 1; k <= 4; ++k) EXPECT_EQ(boss.links[k - 1], r(10 * k) < stage + 10 * defeated ? r(16) : -1);
        EXPECT_EQ(boss.phase, r(500));
        EXPECT_EQ(boss.max_hit_points,
                  std::min(3 * stage + 10 * defeated + 15, 50) + stat(g, boss, power_toughness));
    }
    EXPECT_EQ(g.units.size(), static_cast<std::size_t>(nodes));
    for (int i = 0; i < barracks + airfields; ++i, ++b) {
        ASSERT_LT(b, g.buildings.size());
        const Building& breeder = *g.buildings[b];
        EXPECT_EQ(breeder.kind, i < barracks ? building_barracks : building_airfield);
        EXPECT_EQ(breeder.phase, r(500));
        EXPECT_EQ(breeder.faction, factions[static_cast<std::size_t>(r(static_cast<int>(factions.size())))]);
        EXPECT_EQ(std::pair(breeder.x, breeder.y), site());
    }
    EXPECT_EQ(std::pair(g.open_max_x, g.open_max_y), std::pair(std::max(160, x0), std::max(50, y0)));
    if (r(5) != 0) {
        const int a = r(58), n = r(58), w = r(8), e = r(8);
        for (auto [x, y] : {std::pair{x0 + 1 + a, y0 + 21}, {x0 + 20 + a, y0 + 23}, {x0 + 1 + n, y0 + 1},
                            {x0 + 20 + n, y0 + 3}, {x0 + 1, y0 + 1 + w}, {x0 + 3, y0 + 15 + w},
                            {x0 + 76, y0 + 1 + e}, {x0 + 78, y0 + 15 + e}}) {
            EXPECT_EQ(map_cell(g, x, y), (Cell{glyph_wall, 7, 0, 0})) << x << "," << y;
        }
        EXPECT_EQ(g.buildings.size(), b);
    } else {
        seen.ringed = true;
        EXPECT_EQ(glyphs_in_sector(g, x0 / 80, y0 / 25, glyph_barrier), 2 * 78 + 2 * 21);
        // On open ground of a sector opened before; its walls and the sectors still closed
        // are never chosen.
        int x = 0, y = 0;
        do {
            x = r(400);
            y = r(125);
        } while (g.sector_grid[sector_index(x, y)] >= stage || map_cell(g, x, y).glyph != glyph_floor);
        ASSERT_EQ(g.buildings.size(), b + 1);
        EXPECT_EQ(g.buildings[b]->kind, building_key);
        EXPECT_EQ(g.buildings[b]->phase, r(500));
        EXPECT_EQ(std::pair(g.buildings[b]->x, g.buildings[b]->y), std::pair(x, y));
    }
    EXPECT_EQ(g.seed, s);
}

TEST(SectorOpening, DrawsCountsSitesAndKeyFollowTheGameOrder) {
    // The first opening of a game (no airfield can come), the last without the airfield coin,
    // a fifth sector with its source and the first coin, a later cycle whose airfields start
    // at the first cap and whose bosses are at their hit-point cap, and one in between.
    const std::pair<int, int> openings[] = {{2, 0}, {4, 0}, {5, 1}, {8, 4}, {12, 3}};
    OpeningSeen seen;
    for (auto [stage, defeated] : openings) {
        // Seeds spread over the generator's range: small ones all give a low first draw.
        const std::uint32_t seeds = stage == 2 ? 300 : 100;
        for (std::uint32_t i = 1; i <= seeds; ++i) check_opening(i * 0x9E3779B1u & 0x7FFFFFFFu, stage, defeated, seen);
    }
    EXPECT_TRUE(seen.ringed);
    EXPECT_TRUE(seen.extra_nodes);
    EXPECT_TRUE(seen.coin_airfield);
    EXPECT_TRUE(seen.late_airfield);
    EXPECT_TRUE(seen.held_back_at_two);
}

TEST(SectorOpening, CrowdedSitesAndWalledGroundNeverHangTheOpening) {
    // Every site of (1, 0) built over and (0, 0), the only sector opened before, walled up
    // with grey blocks: the opening ends all the same, lays no hostile building, boss or key,
    // and still lays terrain and widens the bounds.
    bool ringed = false;
    for (std::uint32_t seed = 1; seed <= 30; ++seed) {
        Game g;
        lay_row_grid(g);
        for (int x = 0; x < 80; ++x) {
            for (int y = 0; y < 25; ++y) map_cell(g, x, y) = Cell{glyph_wall, 7, 0, 0};
        }
        for (int x = 90; x < 150; ++x) {
            for (int y = 5; y <= 20; ++y) put_building(g, building_barricade, 1, x, y);
        }
        const std::size_t crowd = g.buildings.size();
        g.seed = seed;
        open_next_stage(g);
        EXPECT_EQ(g.stage, 2);
        EXPECT_EQ(g.buildings.size(), crowd);
        EXPECT_TRUE(g.units.empty());
        EXPECT_LE(g.open_min_x, 80);
        EXPECT_EQ(g.open_min_y, 0);
        // Either the ring, or the west strip that always covers rows 8 to 15.
        const int barrier = glyphs_in_sector(g, 1, 0, glyph_barrier);
        ringed = ringed || barrier > 0;
        EXPECT_TRUE(barrier > 0 || map_cell(g, 82, 10) == (Cell{glyph_wall, 7, 0, 0}));
    }
    EXPECT_TRUE(ringed);
}

TEST(SectorOpening, CapsSourcesAndTheEndOfTheSectors) {
    bool third_airfield = false;
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        // Twenty megabosses down: ten nodes and ten barracks at once, two airfields or three.
        Game g;
        g.seed = seed;
        lay_row_grid(g);
        g.stage = 15;
        g.megabosses_defeated = 20;
        open_next_stage(g);
        std::map<int, int> kinds;
        for (const auto& b : g.buildings) ++kinds[b->kind];
        EXPECT_EQ(kinds[building_corrupted_node], 10);
        EXPECT_EQ(kinds[building_barracks], 10);
        EXPECT_GE(kinds[building_airfield], 2);
        EXPECT_LE(kinds[building_airfield], 3);
        third_airfield = third_airfield || kinds[building_airfield] == 3;
        EXPECT_EQ(g.units[0]->max_hit_points, 50 + stat(g, *g.units[0], power_toughness));

        // The fifth sector opened gets a source inside its sites' area, the sixth none; two
        // opened together after three: the second one met (columns outer) is the fifth.
        Game h;
        h.seed = seed;
        lay_row_grid(h);
        h.stage = 4;
        open_next_stage(h);
        EXPECT_EQ(glyphs_in_sector(h, 4, 0, glyph_source), 1);
        // Walls are laid as a glyph only, so those on open ground stay green and the next
        // opening clears them where a sector has opened behind them.
        EXPECT_EQ(map_cell(h, 40, 24), (Cell{glyph_wall, 2, 0, 0}));
        EXPECT_EQ(map_cell(h, 40, 60), (Cell{glyph_wall, 2, 0, 0}));
        open_next_stage(h);
        EXPECT_EQ(glyphs_in_sector(h, 0, 1, glyph_source), 0);
        EXPECT_EQ(map_cell(h, 40, 24), open_ground);
        EXPECT_EQ(map_cell(h, 40, 60), (Cell{glyph_wall, 2, 0, 0}));
        Game k;
        k.seed = seed;
        lay_row_grid(k);
        k.sector_grid[0 * 5 + 1] = 4;
        k.stage = 3;
        open_next_stage(k);
        EXPECT_EQ(glyphs_in_sector(k, 0, 1, glyph_source), 0);
        EXPECT_EQ(glyphs_in_sector(k, 3, 0, glyph_source), 1);
    }
    EXPECT_TRUE(third_airfield);

    // Nothing left to open: the stage still rises and the walls are redrawn, but nothing is
    // drawn at random and more_sectors is cleared.
    Game g;
    lay_row_grid(g);
    g.stage = 25;
    g.open_min_x = g.open_min_y = 0;
    g.open_max_x = 320;
    g.open_max_y = 100;
    put_unit(g, unit_player, 0, 390, 120);
    map_cell(g, 240, 60).glyph = glyph_wall;
    map_cell(g, 241, 60) = Cell{glyph_wall, 7, 0, 0};
    g.sweep_column = 400;
    const std::uint32_t seed = g.seed;
    open_next_stage(g);
    EXPECT_EQ(g.stage, 26);
    EXPECT_EQ(g.more_sectors, 0);
    EXPECT_EQ(g.sweep_column, -1);
    EXPECT_EQ(g.seed, seed);
    EXPECT_EQ(g.buildings.size(), 0u);
    EXPECT_EQ(map_cell(g, 240, 60).glyph, glyph_floor);
    EXPECT_EQ(map_cell(g, 241, 60).glyph, glyph_wall);
    EXPECT_EQ(map_cell(g, 0, 60).glyph, glyph_wall);
    EXPECT_EQ(map_cell(g, 200, 124).glyph, glyph_wall);
    EXPECT_EQ(std::pair(g.view_x, g.view_y), std::pair(320, 100));
}

}  // namespace
}  // namespace qm
