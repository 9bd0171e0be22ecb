// The map window, drawn fresh into the screen buffer every frame: terrain with the sweep front,
// buildings, units with what they carry, effects, then the health bar and the megaboss banner.
// Nearly every glyph animates from the terminal's tick, and some draw random numbers, so the
// drawing order is part of the game's replay.
#pragma once

#include <array>
#include <cstdint>

#include "world/game.h"

namespace qm {

// One full view (no flush). Moves bar_row away from the player's half of the screen.
void draw_map_view(Game& game);

// One building glyph at the pen position. (x, y) is the map cell under it, or (-1, -1) for a
// building in a carry slot, which never counts as standing on active ground.
void draw_building(Game& game, const Building& building, int x, int y);

// The faction whose colour a unit or building shows at a = (tick [+ phase]) mod 2000: its own
// for the first half, then each link for a quarter second (an empty link shows its own).
int link_cycle_faction(int faction, const std::array<std::int32_t, 4>& links, std::uint32_t a);

}  // namespace qm
