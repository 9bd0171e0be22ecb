#include "buildings/sector_opening.h"

#include <algorithm>
#include <array>
#include <vector>

#include "buildings/free_cells.h"
#include "flow/follow_view.h"
#include "units/combat.h"
#include "world/lists.h"

namespace qm {

namespace {

constexpr int most_nodes = 10;
constexpr int most_barracks = 10;
// Airfields start capped at two; the extra draws may still bring a third.
constexpr int first_airfield_cap = 2;
constexpr int most_airfields = 3;
constexpr int boss_hit_point_cap = 50;
// Every fifth sector opened in a cycle, the start sector counted first, gets a source.
constexpr int sectors_per_source = 5;
// Sites and sources: a block of 60 x 16 cells, ten columns and five rows in from the edges.
constexpr int site_margin_x = 10;
constexpr int site_margin_y = 5;
constexpr int site_columns = 60;
constexpr int site_rows = 16;
constexpr Cell grey_block{glyph_wall, 7, 0, 0};
constexpr Cell barrier_cell{glyph_barrier, 0, 7, 0};

int entry(const Game& game, int sx, int sy) { return game.sector_grid[sx * sectors_down + sy]; }

void set_glyph(Game& game, int x, int y, int glyph) { map_cell(game, x, y).glyph = static_cast<std::uint8_t>(glyph); }

// Sites and sources keep ten columns and five rows clear of the sector's edges, so nothing
// is ever laid on its walls, strips or ring.
CellPosition interior_spot(Game& game, int x0, int y0) {
    const int x = x0 + site_margin_x + random(game, site_columns);
    const int y = y0 + site_margin_y + random(game, site_rows);
    return {x, y};
}

// Site draws go on until a site is free, so they must not start when every site of the
// sector holds a building. A sector opened in a game holds a few dozen at most; only a
// crowded one would ever miss its buildings, and then it is left without them.
bool any_free_site(const Game& game, int x0, int y0) {
    std::array<bool, site_columns * site_rows> taken{};
    int count = 0;
    for (const auto& b : game.buildings) {
        const int i = b->x - (x0 + site_margin_x);
        const int j = b->y - (y0 + site_margin_y);
        if (i < 0 || i >= site_columns || j < 0 || j >= site_rows) continue;
        bool& t = taken[static_cast<std::size_t>(i * site_rows + j)];
        if (!t) ++count;
        t = true;
    }
    return count < site_columns * site_rows;
}

CellPosition building_site(Game& game, int x0, int y0) {
    for (;;) {
        const CellPosition p = interior_spot(game, x0, y0);
        if (find_building_at(game, p.x, p.y) < 0) return p;
    }
}

void clear_green_walls(Game& game) {
    for (Cell& c : game.map) {
        if (c.glyph == glyph_wall && c.fg == 2) c.glyph = glyph_floor;
    }
}

// Open sectors are fenced where they meet the map edge or a closed sector; closed sectors
// are filled solid.
void lay_walls(Game& game, int stage) {
    for (int sx = 0; sx < sectors_across; ++sx) {
        for (int sy = 0; sy < sectors_down; ++sy) {
            const int x0 = sx * sector_width;
            const int y0 = sy * sector_height;
            if (entry(game, sx, sy) > stage) {
                for (int x = x0; x < x0 + sector_width; ++x) {
                    for (int y = y0; y < y0 + sector_height; ++y) set_glyph(game, x, y, glyph_wall);
                }
                continue;
            }
            if (sx == 0 || entry(game, sx - 1, sy) > stage) {
                for (int y = y0; y < y0 + sector_height; ++y) set_glyph(game, x0, y, glyph_wall);
            }
            if (sx == sectors_across - 1 || entry(game, sx + 1, sy) > stage) {
                for (int y = y0; y < y0 + sector_height; ++y) set_glyph(game, x0 + sector_width - 1, y, glyph_wall);
            }
            if (sy == 0 || entry(game, sx, sy - 1) > stage) {
                for (int x = x0; x < x0 + sector_width; ++x) set_glyph(game, x, y0, glyph_wall);
            }
            if (sy == sectors_down - 1 || entry(game, sx, sy + 1) > stage) {
                for (int x = x0; x < x0 + sector_width; ++x) set_glyph(game, x, y0 + sector_height - 1, glyph_wall);
            }
        }
    }
}

struct BuildingCounts {
    int nodes, barracks, airfields;
};

// More megabosses defeated means more hostile buildings from the start; a later stage
// means better odds of extra ones.
BuildingCounts building_counts(Game& game, int stage, int defeated) {
    const int h = defeated / 2;
    BuildingCounts n{std::min(defeated + 1, most_nodes), std::min(h + 1, most_barracks), h};
    if (stage >= 5 && random(game, 2) == 1) ++n.airfields;
    n.airfields = std::min(n.airfields, first_airfield_cap);
    while (random(game, 50) < stage && n.nodes < most_nodes) ++n.nodes;
    while (random(game, 50) < stage && n.barracks < most_barracks) ++n.barracks;
    while (random(game, 100) < stage && n.airfields < most_airfields && stage > 2) ++n.airfields;
    return n;
}

// Barracks and airfields belong to the factions whose nodes hold the sector.
void place_breeder(Game& game, int kind, int x0, int y0, const std::vector<int>& factions) {
    if (factions.empty() || !any_free_site(game, x0, y0)) return;
    Building b = fresh_building(game);
    b.kind = kind;
    b.faction = factions[static_cast<std::size_t>(random(game, static_cast<int>(factions.size())))];
    const CellPosition site = building_site(game, x0, y0);
    b.x = site.x;
    b.y = site.y;
    append_building(game, b);
}

// Each corrupted node gets a boss of its faction on its cell, stronger and better linked at
// later stages and in later cycles.
void place_guarded_node(Game& game, int x0, int y0, int stage, int defeated, std::vector<int>& factions) {
    if (!any_free_site(game, x0, y0)) return;
    Building node = fresh_building(game);
    node.kind = building_corrupted_node;
    node.faction = random(game, 16);
    factions.push_back(node.faction);
    const CellPosition site = building_site(game, x0, y0);
    node.x = site.x;
    node.y = site.y;
    append_building(game, node);

    Unit boss = fresh_unit(game, unit_boss);
    boss.faction = node.faction;
    boss.x = node.x;
    boss.y = node.y;
    for (int i = 1; i <= 4; ++i) {
        if (random(game, 10 * i) < stage + 10 * defeated) boss.links[i - 1] = random(game, 16);
    }
    boss.phase = random(game, 500);
    boss.hit_points = std::min(3 * stage + 10 * defeated + 15, boss_hit_point_cap);
    finish(game, boss);
    append_unit(game, boss);
}

void fill_cells(Game& game, int x_first, int x_last, int y_first, int y_last, Cell cell) {
    for (int x = x_first; x <= x_last; ++x) {
        for (int y = y_first; y <= y_last; ++y) map_cell(game, x, y) = cell;
    }
}

void lay_strips(Game& game, int x0, int y0) {
    const int a = random(game, 58);
    fill_cells(game, x0 + 1 + a, x0 + 20 + a, y0 + 21, y0 + 23, grey_block);
    const int b = random(game, 58);
    fill_cells(game, x0 + 1 + b, x0 + 20 + b, y0 + 1, y0 + 3, grey_block);
    const int c = random(game, 8);
    fill_cells(game, x0 + 1, x0 + 3, y0 + 1 + c, y0 + 15 + c, grey_block);
    const int d = random(game, 8);
    fill_cells(game, x0 + 76, x0 + 78, y0 + 1 + d, y0 + 15 + d, grey_block);
}

// Where the key may lie: open ground of a sector opened earlier, never in the ring it unlocks.
bool takes_key(const Game& game, int x, int y, int stage) {
    return game.sector_grid[sector_index(x, y)] < stage && map_cell(game, x, y).glyph == glyph_floor;
}

// The key draws go on until they hit such a cell; with none left anywhere (every earlier
// sector walled or built over) they would never end, and the ring stays sealed instead.
bool any_key_cell(const Game& game, int stage) {
    for (int x = 0; x < map_width; ++x) {
        for (int y = 0; y < map_height; ++y) {
            if (takes_key(game, x, y, stage)) return true;
        }
    }
    return false;
}

void lay_ring_and_key(Game& game, int x0, int y0, int stage) {
    fill_cells(game, x0 + 1, x0 + 78, y0 + 1, y0 + 1, barrier_cell);
    fill_cells(game, x0 + 1, x0 + 78, y0 + 23, y0 + 23, barrier_cell);
    fill_cells(game, x0 + 1, x0 + 1, y0 + 1, y0 + 23, barrier_cell);
    fill_cells(game, x0 + 78, x0 + 78, y0 + 1, y0 + 23, barrier_cell);
    if (!any_key_cell(game, stage)) return;
    int x = 0;
    int y = 0;
    do {
        x = random(game, map_width);
        y = random(game, map_height);
    } while (!takes_key(game, x, y, stage));
    Building key = fresh_building(game);
    key.kind = building_key;
    key.x = x;
    key.y = y;
    append_building(game, key);
}

void open_sector(Game& game, int sx, int sy, int stage, int defeated, int& opened) {
    const int x0 = sx * sector_width;
    const int y0 = sy * sector_height;
    ++opened;
    if (opened % sectors_per_source == 0) {
        const CellPosition p = interior_spot(game, x0, y0);
        map_cell(game, p.x, p.y) = source_cell;
    }
    const BuildingCounts n = building_counts(game, stage, defeated);
    std::vector<int> factions;
    for (int i = 0; i < n.nodes; ++i) place_guarded_node(game, x0, y0, stage, defeated, factions);
    for (int i = 0; i < n.barracks; ++i) place_breeder(game, building_barracks, x0, y0, factions);
    for (int i = 0; i < n.airfields; ++i) place_breeder(game, building_airfield, x0, y0, factions);
    game.open_min_x = std::min(game.open_min_x, x0);
    game.open_max_x = std::max(game.open_max_x, x0);
    game.open_min_y = std::min(game.open_min_y, y0);
    game.open_max_y = std::max(game.open_max_y, y0);
    if (random(game, 5) != 0) {
        lay_strips(game, x0, y0);
    } else {
        lay_ring_and_key(game, x0, y0, stage);
    }
}

}  // namespace

void advance_sweep(Game& game) {
    if (game.sweep_column < 0) return;
    ++game.sweep_column;
    if (game.sweep_column >= game.open_max_x + sector_width) open_next_stage(game);
}

void open_next_stage(Game& game) {
    const int stage = ++game.stage;
    const int defeated = game.megabosses_defeated;
    clear_green_walls(game);
    int opened = 0;
    for (std::uint8_t e : game.sector_grid) {
        if (e < stage) ++opened;
    }
    lay_walls(game, stage);
    bool opened_something = false;
    for (int sx = 0; sx < sectors_across; ++sx) {
        for (int sy = 0; sy < sectors_down; ++sy) {
            if (entry(game, sx, sy) != stage) continue;
            open_sector(game, sx, sy, stage, defeated, opened);
            opened_something = true;
        }
    }
    if (!opened_something) game.more_sectors = 0;
    if (!game.units.empty()) follow_view(game, game.units[0]->x, game.units[0]->y);
    game.sweep_column = -1;
}

}  // namespace qm
