// One game frame: draw, one key, the world step, the sweep and megaboss checks, the census.
#pragma once

#include "world/game.h"

namespace qm {

// True when the player quit.
bool game_frame(Game& game);

}  // namespace qm
