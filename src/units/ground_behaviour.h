// What the ground kinds do on an acting frame: oozes hunt nodes and citizens, citizens gather
// at nodes, own fighters hold off hostile units and buildings near the player, and hostile
// fighters go for own units and towers.
#pragma once

#include "units/pathing.h"
#include "world/game.h"

namespace qm {

// What a kind searches for and how far it looks when its targets are to be re-chosen.
struct TargetSearch {
    PickFilter buildings;
    int building_limit = 0;
    PickFilter units;
    int unit_limit = 0;
};

// Keeps a target building only while it is still of a searched kind, drops each target one
// frame in five, and searches afresh for whatever is missing.
void target_upkeep(Game& game, Unit& unit, const TargetSearch& search);
// The unit target is nearer only when strictly nearer: a tie goes to the building.
bool unit_target_nearer(const Unit& unit);

// The citizen's choice of node: its own faction's nodes come first, the nearest of them,
// and only then the nearest of any faction.
Building* citizen_node_pick(Game& game, const Unit& citizen);

// The behaviour of unit i, of kind 1 to 5, 7 or 9; nothing for any other kind.
void ground_behaviour(Game& game, int i);

}  // namespace qm
