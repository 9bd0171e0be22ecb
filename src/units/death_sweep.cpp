#include "units/death_sweep.h"

#include "flow/follow_view.h"
#include "records/statistics.h"
#include "world/lists.h"

namespace qm {

void death_sweep(Game& game) {
    for (std::size_t m = game.units.size(); m-- > 0;) {
        Unit& u = *game.units[m];
        if (u.hit_points > 0) continue;
        record_death(game, u.faction, u.kind);
        if (u.kind != unit_player) {
            remove_unit(game, m);
            continue;
        }
        // The player unit keeps its levels, weapon, links and carried buildings.
        u.hit_points = u.max_hit_points;
        u.x = player_home_x;
        u.y = player_home_y;
        follow_view(game, u.x, u.y);
    }
}

}  // namespace qm
