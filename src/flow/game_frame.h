// One game frame: draw, one key, the world step, the sweep and megaboss checks, the census.
#pragma once

#include "world/game.h"

namespace qm {

// True when the player quit.
bool game_frame(Game& game);

enum class WorldOutcome { carry_on, megaboss_gone, no_citizens };

// The frame's world step: units, buildings, effects, the sweep trigger, the megaboss wave and
// watch, and the census. What to do about a gone megaboss or a lost game is the caller's.
WorldOutcome world_step(Game& game);

}  // namespace qm
