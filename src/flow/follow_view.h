// Keeping the window on the player: it jumps by half a screen near an edge and never shows
// beyond the open sectors.
#pragma once

#include "world/game.h"

namespace qm {

void follow_view(Game& game, int x, int y);

}  // namespace qm
