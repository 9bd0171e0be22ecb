// The megaboss's approach once every sector is open: a 2000-frame countdown, then the megaboss
// with a large escort of its faction at a point of the map's edge, and after earlier defeats
// further groups at other edge points.
#pragma once

#include "buildings/free_cells.h"
#include "world/game.h"

namespace qm {

constexpr int wave_countdown_frames = 2000;
constexpr int wave_idle = -1;
constexpr int wave_megaboss_present = -2;

// One step of the countdown, for the frames in which the megaboss may approach: starts it at
// 2000, counts it down, and at 0 spawns the wave and marks the megaboss present.
void wave_step(Game& game);

// A random cell one inside the map border, on a side drawn first.
CellPosition edge_point(Game& game);

// The megaboss with its escort, then one extra group per earlier defeat (at most 10).
void spawn_wave(Game& game);

}  // namespace qm
