// The death sweep that ends the unit update and the effect update: the dead are counted and
// removed, and the player unit is restored at the start cell instead.
#pragma once

#include "world/game.h"

namespace qm {

constexpr int player_home_x = 200;
constexpr int player_home_y = 62;

void death_sweep(Game& game);

}  // namespace qm
