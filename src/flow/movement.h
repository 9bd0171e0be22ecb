// How anything moves one cell and touches buildings, and the player's interaction key.
#pragma once

#include "world/game.h"

namespace qm {

// Moves unit i by (dx, dy) if nothing blocks it: buildings (taken, corrupted or attacked on
// contact), the border, walls (worn by some kinds), barriers and the carried buildings.
void move_unit(Game& game, int i, int dx, int dy);
// The interaction key toward (dx, dy): set down a carried building, open a menu, or fire.
void player_action(Game& game, int i, int dx, int dy);
// What happens when unit i steps onto building b's cell; true when the unit is blocked.
bool building_contact(Game& game, int i, int b);
// Whether one of unit i's carried buildings would land on building b at target (tx, ty).
bool slot_collision(const Game& game, int i, int b, int tx, int ty);
// Frames until the player's weapon of this power (0..15) fires again at this weapon level.
int weapon_cooldown(int power, int weapon_level);

}  // namespace qm
