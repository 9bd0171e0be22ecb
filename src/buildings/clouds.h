// Acid and poison clouds: released on one cell, they harm the other side's ground units
// standing there at that moment and never again while they linger.
#pragma once

#include "world/game.h"

namespace qm {

// side 0: released by the player's side; any other value: by the hostile side. Nothing
// happens when a cloud of the same kind and side already stands on the cell.
void release_acid_cloud(Game& game, int x, int y, int side, int life);
void release_poison_cloud(Game& game, int x, int y, int side, int life);

}  // namespace qm
