// Where a building puts what it makes: a free cell among its eight neighbours.
#pragma once

#include "world/game.h"

namespace qm {

struct CellPosition {
    int x, y;
};

// Inside the open area (as the bounds have it) and with no building on it; units and walls
// do not count.
bool is_free_cell(const Game& game, int x, int y);

// Picks one of the free neighbours of (bx, by) by drawing random(3), random(3) until the pair
// names a free one. False, with no draw at all, when none is free.
bool free_neighbour_cell(Game& game, int bx, int by, CellPosition& out);

}  // namespace qm
