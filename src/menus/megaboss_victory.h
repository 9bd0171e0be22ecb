// The end of a megaboss cycle: the victory screen, then a fresh start sector for the next
// cycle. The player unit keeps its levels, allegiance and carried buildings; the statistics
// of the game go on counting.
#pragma once

#include "world/game.h"

namespace qm {

// Shows the victory screen until 'h', then rebuilds the world. True when the player quit
// (ESC) on the victory screen; the world is then left as it was.
bool megaboss_victory(Game& game);

// The rebuild alone: everything but the player unit goes, the start sector, its buildings and
// citizens are laid again, the megaboss defeat is counted and the next megaboss drawn.
void start_next_cycle(Game& game);

}  // namespace qm
