// Every effect's turn in a frame: drops rise and are gathered, bolts and shots fly and hit,
// fires and clouds spread; then the dead are swept away.
#pragma once

#include "world/game.h"

namespace qm {

void effect_update(Game& game);

// A drop of the faction's ooze on the cell, with 30 to 59 frames to rise before it is gathered.
void release_ooze_drop(Game& game, int faction, int x, int y);
// Nodes and citizens hold their ooze back while more than 1500 effects are about.
bool room_for_ooze_drop(const Game& game);

// A new bolt beside its parent, one generation on. Near and far clones are refused while
// another bolt of the parent's power stands on the parent's cell; a chain clone never is.
void near_clone(Game& game, const Effect& bolt);
void far_clone(Game& game, const Effect& bolt);
void chain_clone(Game& game, const Effect& bolt);

}  // namespace qm
