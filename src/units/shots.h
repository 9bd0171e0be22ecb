// Shots and bombs fired by units: a hostile shot (effect kind 3) or a friendly shot (kind 5)
// aimed from the shooter's cell at a target cell.
#pragma once

#include "world/game.h"

namespace qm {

// The velocity is the whole offset to the target; the effect update turns it into cell steps.
void fire_shot(Game& game, const Unit& shooter, int kind, int tx, int ty);

}  // namespace qm
