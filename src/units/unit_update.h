// The per-frame unit update: every unit but the player unit, from the last to the first,
// acts on its own frames (timers, auras, then its kind's behaviour); a death sweep ends it.
#pragma once

#include "world/game.h"

namespace qm {

// How many frames apart a kind acts before speed, slow and haste.
int base_period(const Unit& unit);
// The period after speed, slow and haste; never below 5.
int acting_period(const Game& game, const Unit& unit);
// Whether this frame is one of the unit's acting frames, by its phase and frame_counter.
bool acts_this_frame(const Game& game, const Unit& unit);

void unit_update(Game& game);

}  // namespace qm
