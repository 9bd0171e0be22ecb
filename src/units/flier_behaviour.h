// What the fliers do on an acting frame: bomb the other side on a mission, fly home to
// refuel and rearm, and crash in flames when the fuel is gone.
#pragma once

#include "world/game.h"

namespace qm {

// The behaviour of unit i, an enemy flier (kind 6) or an own flier (kind 8).
void flier_behaviour(Game& game, int i);
// Fire on the flier's cell; the towers, barracks, airfields and barricades there are wrecked,
// and every unit there (the flier and the player unit included) is left at 0 hit points.
void crash(Game& game, int i);

}  // namespace qm
