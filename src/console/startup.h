// Program start-up, the title screen and the mode loop.
#pragma once

#include "world/game.h"

namespace qm {

// The global game state a run starts from (and that the title screen hands on).
void reset_game_state(Game& game);

// Seeds the generator, shows the title and runs the mode loop until a screen quits.
// Returns the exit status, always 0.
int run_game(Game& game, Terminal& terminal);

}  // namespace qm
