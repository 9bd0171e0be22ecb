#include "menus/megaboss_victory.h"

#include <string_view>

#include "units/death_sweep.h"
#include "flow/sector_assignment.h"
#include "records/statistics.h"
#include "world/lists.h"
#include "world/cycle_state.h"

namespace qm {
namespace {

constexpr std::string_view victory_text = "YOU HAVE DEFEATED THE MEGABOSS.  PRESS H TO TAKE ON THE NEXT ONE.";
constexpr int victory_row = 12;
// A modal screen with no key waiting sleeps this long before it redraws.
constexpr std::uint32_t idle_pass_ms = 10;

// True for ESC, false once 'h' came.
bool victory_screen(Game& game) {
    for (;;) {
        clear_screen(game.screen);
        // A new colour on every pass: the message glitters until it is answered.
        const int fg = random(game, 8);
        set_colour(game.screen, fg, 0, random(game, 2));
        put_centred(game.screen, victory_row, victory_text);
        flush_screen(game);
        const int key = read_normalised_key(game);
        if (key == key_escape) return true;
        if (key == 'h') return false;
        if (key == key_none) game.terminal->wait_until(game.terminal->tick_ms() + idle_pass_ms);
    }
}

}  // namespace

void start_next_cycle(Game& game) {
    // Everyone but the player unit, from the back so no removal shifts a unit still to go.
    for (std::size_t i = game.units.size(); i-- > 1;) remove_unit(game, i);
    clear_buildings(game);
    clear_effects(game);
    game.cycle_ooze.fill(0);
    game.ooze_store.fill(0);

    Unit& player = *game.units[0];
    place_unit(game, player, player_home_x, player_home_y);
    player.hit_points = player.max_hit_points;

    fill_map(game.map, open_ground);
    lay_start_sector(game);

    // Counted for the megaboss just beaten, before the next one is drawn.
    record_megaboss_defeat(game, game.megaboss_type);
    ++game.megabosses_defeated;

    reset_cycle_state(game);
}

bool megaboss_victory(Game& game) {
    if (victory_screen(game)) return true;
    start_next_cycle(game);
    return false;
}

}  // namespace qm
