// Every building's turn in a frame: active nodes yield ooze and call citizens, hostile
// buildings breed, towers shoot; then a running sweep moves on and may open sectors.
#pragma once

#include "world/game.h"

namespace qm {

void building_update(Game& game);

// What a hostile building's turn breeds once its draw has fallen and its group is under the
// cap: an ooze or a soldier (one in five a general) on a free neighbouring cell, nothing when
// none is free; a flier on the airfield itself.
void breed_ooze(Game& game, const Building& corrupted_node);
void breed_soldier(Game& game, const Building& barracks);
void breed_flier(Game& game, const Building& airfield);

}  // namespace qm
