#include "buildings/node_network.h"

namespace qm {

namespace {

constexpr std::int32_t visited_bit = static_cast<std::int32_t>(building_visited);

void walk_through(Game& game, int x, int y, bool raise);

// One node's part of the walk. The visited mark ends the recursion on cycles; the top-level
// call clears the marks.
void walk(Game& game, Building& node, bool raise) {
    if (!is_active_node(game, node)) return;
    if ((node.flags & visited_bit) != 0) return;
    node.flags |= visited_bit;

    for (const Offset& link : link_offsets) {
        const int tx = node.x + link.dx;
        const int ty = node.y + link.dy;
        if (!on_map(tx, ty)) continue;
        Cell& cell = map_cell(game, tx, ty);
        if (cell.glyph != glyph_floor) continue;
        if (raise) {
            if (cell.fg == 2) {
                cell.fg = 1;
                // The cell has just turned on: the nodes standing on it join the network.
                walk_through(game, tx, ty, raise);
            } else if (cell.fg == 1) {
                cell.fg = 3;
            } else if (cell.bright == 1) {
                cell.fg = 6;  // level 4 is the ceiling: a fifth feed changes nothing
            } else if (cell.fg == 3) {
                cell.bright = 1;
            }
        } else {
            if (cell.fg == 6) {
                cell.fg = 3;
            } else if (cell.bright == 1) {
                cell.bright = 0;
            } else if (cell.fg == 3) {
                cell.fg = 1;
            } else if (cell.fg == 1) {
                // The nodes here are still active for one moment: they withdraw their own
                // links first, so the network goes dark outward from the removed node.
                walk_through(game, tx, ty, raise);
                cell.fg = 2;
            }
        }
    }
}

void walk_through(Game& game, int x, int y, bool raise) {
    // In list order; the walk never adds or removes buildings.
    for (Building* other : game.index.buildings_at(x, y)) walk(game, *other, raise);
}

}  // namespace

int floor_level(const Cell& cell) {
    if (cell.glyph != glyph_floor) return -1;
    for (int level = 0; level < floor_level_count; ++level) {
        const Cell& c = floor_levels[level];
        if (cell.fg == c.fg && cell.bright == c.bright) return level;
    }
    return -1;
}

bool is_active_node(const Game& game, const Building& building) {
    if (building.kind != building_node) return false;
    if (!on_map(building.x, building.y)) return false;
    return is_active_ground(map_cell(game, building.x, building.y));
}

void network_walk(Game& game, Building& node, bool raise) {
    walk(game, node, raise);
    for (auto& b : game.buildings) b->flags &= ~visited_bit;
    node.flags &= ~visited_bit;  // in case the node is not (or no longer) in the list
}

}  // namespace qm
