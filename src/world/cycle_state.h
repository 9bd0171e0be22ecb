// The globals a megaboss cycle starts from: at start-up, after a victory and before a replay.
#pragma once

#include "world/game.h"

namespace qm {

// Stage 1, no sweep, no countdown, no menu, frame 0, sectors to open, the bar at the top, and
// the next megaboss drawn (the one random draw).
void reset_cycle_state(Game& game);

}  // namespace qm
