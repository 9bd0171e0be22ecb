// The status and promotion screen: a picture without text of the ooze stores, the player
// unit's allegiance and its health, weapon and skill levels. A promotion raises levels at
// random first and shows the ones just gained flashing.
#pragma once

#include <array>
#include <cstdint>

#include "world/game.h"

namespace qm {

// The 18 level bytes of the player unit, as they stood before a promotion.
struct LevelBytes {
    std::int8_t health_level = 0;
    std::int8_t weapon_level = 0;
    std::array<std::int8_t, 16> skill_levels{};
};

LevelBytes levels_of(const Unit& unit);

// Draws one frame of the picture and flushes it; a level above the old one flashes.
void draw_status(Game& game, const LevelBytes& old);

// Shows the picture until a key comes. True when the key was ESC (the game is to end).
bool show_status(Game& game);

// A promotion bought at a node of this faction whose linked nodes are of the factions top
// left, top right, bottom left and bottom right (-1 where none): raises the player unit's
// levels, records them, and shows the picture until a key comes. True when the key was ESC.
bool promote(Game& game, int faction, int top_left, int top_right, int bottom_left, int bottom_right);

}  // namespace qm
