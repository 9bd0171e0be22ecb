#include "bench_worlds.h"

#include "console/startup.h"
#include "flow/sector_assignment.h"
#include "units/combat.h"
#include "world/lists.h"

namespace qm::bench {

void start_world(Game& game, Terminal& terminal, std::uint32_t seed) {
    game.terminal = &terminal;
    game.seed = seed;
    terminal.set_realtime_input(true);
    reset_game_state(game);
    start_new_game(game);
}

void crowded_world(Game& game, Terminal& terminal, std::uint32_t seed) {
    start_world(game, terminal, seed);
    // Sixty of every kind but the player's, scattered over the start sector's interior, the
    // fighters finished as any creator finishes them.
    for (int kind = unit_ooze; kind <= unit_boss; ++kind) {
        for (int n = 0; n < 60; ++n) {
            Unit u = fresh_unit(game);
            u.kind = kind;
            u.faction = random(game, 16);
            u.x = 161 + random(game, 78);
            u.y = 51 + random(game, 23);
            u.phase = random(game, 500);
            u.hit_points = kind == unit_boss ? 40 : 5;
            if (kind == unit_own_soldier || kind == unit_own_general || kind == unit_own_flier) {
                u.faction = game.player_faction;
            }
            if (is_fighter_kind(kind)) finish(game, u);
            append_unit(game, u);
        }
    }
    for (int kind : {building_barracks, building_airfield, building_tower}) {
        for (int n = 0; n < 6; ++n) {
            Building b = fresh_building(game);
            b.kind = kind;
            b.faction = kind == building_tower ? game.player_faction : random(game, 16);
            b.x = 165 + 12 * n;
            b.y = kind == building_barracks ? 55 : (kind == building_airfield ? 70 : 66);
            append_building(game, b);
        }
    }
    for (int f = 0; f < 16; ++f) game.ooze_store[f] = 20;
}

}  // namespace qm::bench
