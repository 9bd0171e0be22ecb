// How anything moves one cell and touches buildings, and the player's interaction key.
#pragma once

#include "world/game.h"

namespace qm {

// Moves unit i by (dx, dy) if nothing blocks it: buildings (taken, corrupted or attacked on
// contact), the border, walls (worn by some kinds), barriers and the carried buildings.
void move_unit(Game& game, int i, int dx, int dy);
// The interaction key toward (dx, dy): set down a carried building, open a menu, or fire.
void player_action(Game& game, int i, int dx, int dy);
// Frames until the player's weapon of this power (0..15) fires again at this weapon level.
int weapon_cooldown(int power, int weapon_level);

}  // namespace qm
