// The sector-assignment screen (faction choice) and the laying out of a new game.
#pragma once

#include "world/game.h"

namespace qm {

// One frame of the faction choice; true when the player quit.
bool sector_assignment_frame(Game& game);

// Lays out a new game for player_faction: the player unit, two citizens, a node, a corrupted
// node, the start walls, the source, the bounds, the view and the sector grid.
void start_new_game(Game& game);

// Everything of a new game but the player unit: two citizens, the node and the corrupted node,
// the bounds and view, the source, the start walls and the sector grid. A new megaboss cycle
// lays the same on a refilled map.
void lay_start_sector(Game& game);

// The random walk that gives every sector its opening stage.
void lay_sector_grid(Game& game);

}  // namespace qm
