// A carried key pushed into a barrier turns the whole orthogonally connected stretch of
// barrier cells into plain floor at once.
#pragma once

#include "world/game.h"

namespace qm {

// (x, y) is the barrier cell the key touched; it becomes floor whatever it held. Diagonal
// neighbours are not followed, so rings touching only at a corner stay apart.
void dissolve_barrier(Game& game, int x, int y);

}  // namespace qm
