#include "units/death_sweep.h"

#include "flow/follow_view.h"
#include "records/statistics.h"
#include "world/factions.h"
#include "world/lists.h"

namespace qm {

void death_sweep(Game& game) {
    bool fallen = false;
    for (std::size_t m = game.units.size(); m-- > 0;) {
        Unit& u = *game.units[m];
        if (u.hit_points > 0) continue;
        // The per-faction and per-kind counters are rows of a table: a faction or kind outside
        // it would land in another unit's counter, or past the block. Such a death still
        // counts in the totals.
        if (u.faction >= 0 && u.faction < faction_count && u.kind >= unit_player && u.kind <= unit_boss) {
            record_death(game, u.faction, u.kind);
        } else {
            bump(game.current_statistics, is_hostile_unit_kind(u.kind) ? stat_total_destroyed : stat_total_lost);
        }
        if (u.kind != unit_player) {
            // The fallen go together once the walk is over: one pass over the list clears every
            // reference to them, where each removal would take its own.
            fallen = true;
            continue;
        }
        // The player unit keeps its levels, weapon, links and carried buildings.
        u.hit_points = u.max_hit_points;
        place_unit(game, u, player_home_x, player_home_y);
        follow_view(game, u.x, u.y);
    }
    if (fallen) remove_fallen_units(game);
}

}  // namespace qm
