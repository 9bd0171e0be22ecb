// The sweep that crosses the open area before a stage opens, and the opening itself: walls
// redrawn, the new sectors given their hostile buildings, guardians and terrain.
#pragma once

#include "world/game.h"

namespace qm {

// One column per frame while a sweep runs; past the east edge of the open area the next
// stage opens.
void advance_sweep(Game& game);
// Raises the stage and opens every sector of it; clears more_sectors when there is none.
void open_next_stage(Game& game);

}  // namespace qm
