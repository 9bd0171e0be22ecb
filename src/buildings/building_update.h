// Every building's turn in a frame: active nodes yield ooze and call citizens, hostile
// buildings breed, towers shoot; then a running sweep moves on and may open sectors.
#pragma once

#include "world/game.h"

namespace qm {

void building_update(Game& game);

}  // namespace qm
