// The node network: active nodes energise the floor a knight's move away, and a node on
// energised floor is active in turn. Floor levels 0..4 live in the colours of '.' cells, so
// a cell fed by several nodes stays lit when one of them goes.
#pragma once

#include <array>

#include "world/directions.h"
#include "world/game.h"

namespace qm {

// The four cells an active node energises, in the order the walk visits them; the node menu
// finds a node's linked nodes at the same places.
constexpr std::array<Offset, 4> link_offsets{{{-2, -1}, {+2, +1}, {+1, -2}, {-1, +2}}};

// Energised floor levels as colours (fg, bright) of a '.' cell.
constexpr int floor_level_count = 5;
constexpr std::array<Cell, floor_level_count> floor_levels{{
    {'.', 2, 0, 0}, {'.', 1, 0, 0}, {'.', 3, 0, 0}, {'.', 3, 0, 1}, {'.', 6, 0, 1},
}};

// The level 0..4 of a floor cell, or -1 for any other cell (background ignored).
int floor_level(const Cell& cell);

// A node standing on a source or on energised floor.
bool is_active_node(const Game& game, const Building& building);

// Raises (raise = true) or withdraws the floor levels an active node feeds, spreading through
// every node that turns on or off on the way. Call it on a node just set down, or on a node
// about to be picked up or corrupted; anything but an active node is left alone. Afterwards no
// building is marked visited.
void network_walk(Game& game, Building& node, bool raise);

}  // namespace qm
