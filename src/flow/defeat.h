// The end of a lost game: the defeat notice, the records sequence and the question whether to
// play again, which says why the records could not be saved when they could not.
#pragma once

#include "world/game.h"

namespace qm {

// Runs when no citizen is left. True when the player quit (ESC on a question, 'n' on the
// replay question, or ESC inside the records sequence); false after 'y', when the game has
// been reset for the sector-assignment screen.
bool defeat(Game& game);

// Everything a new game needs cleared: the lists, the map, the ooze, the current statistics
// and the world state, back to the sector-assignment screen with faction 7. The seed runs on;
// the records, the view, the bounds and the sector grid are left for the next new game.
void reset_for_replay(Game& game);

}  // namespace qm
