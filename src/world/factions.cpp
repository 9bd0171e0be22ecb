#include "world/factions.h"

#include "world/game.h"

namespace qm {

void faction_colour(Game& game, int faction, int background) {
    if (faction == 0) {
        set_colour(game.screen, 0, background, random(game, 2) != 0 ? 1 : 0);
        return;
    }
    set_colour(game.screen, faction % 8, background, faction >= 8 ? 1 : 0);
}

}  // namespace qm
