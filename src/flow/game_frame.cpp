#include "flow/game_frame.h"

#include <array>

#include "buildings/building_update.h"
#include "buildings/effect_update.h"
#include "console/pacing.h"
#include "flow/defeat.h"
#include "flow/map_view.h"
#include "flow/megaboss_wave.h"
#include "flow/movement.h"
#include "menus/megaboss_victory.h"
#include "menus/menu_actions.h"
#include "menus/menu_display.h"
#include "records/statistics.h"
#include "records/status_screen.h"
#include "units/unit_update.h"

namespace qm {
namespace {

struct KeyDirection {
    int key, dx, dy;
};

// The movement keys follow the numeric keypad; the interaction keys the letters around 's'.
constexpr std::array<KeyDirection, 9> movement_keys{{
    {'7', -1, -1}, {'8', 0, -1}, {'9', 1, -1},
    {'4', -1, 0},  {'5', 0, 0},  {'6', 1, 0},
    {'1', -1, 1},  {'2', 0, 1},  {'3', 1, 1},
}};
constexpr std::array<KeyDirection, 8> interaction_keys{{
    {'q', -1, -1}, {'w', 0, -1}, {'e', 1, -1},
    {'a', -1, 0},                {'d', 1, 0},
    {'z', -1, 1},  {'x', 0, 1},  {'c', 1, 1},
}};

template <std::size_t N>
bool direction_for(const std::array<KeyDirection, N>& table, int key, int& dx, int& dy) {
    for (const KeyDirection& k : table) {
        if (k.key == key) {
            dx = k.dx;
            dy = k.dy;
            return dx != 0 || dy != 0;
        }
    }
    return false;
}

bool hostile_building_present(const Game& game) {
    for (const auto& b : game.buildings) {
        if (is_hostile_building_kind(b->kind)) return true;
    }
    return false;
}

std::int64_t cycle_ooze_total(const Game& game) {
    std::int64_t sum = 0;
    for (std::int32_t v : game.cycle_ooze) sum += v;
    return sum;
}

bool megaboss_on_map(const Game& game) {
    for (const auto& u : game.units) {
        if (u->kind == unit_boss && (u->flags & unit_megaboss)) return true;
    }
    return false;
}

// Citizens per faction and in all, raised into the census maxima; returns the total.
std::int32_t take_census(Game& game) {
    std::int32_t per_faction[16] = {};
    std::int32_t total = 0;
    for (const auto& u : game.units) {
        if (u->kind == unit_citizen) {
            ++per_faction[u->faction];
            ++total;
        }
    }
    record_census(game, per_faction, total);
    return total;
}

}  // namespace

bool game_frame(Game& game) {
    frame_begin(*game.terminal, game.frame_start);
    draw_map_view(game);
    if (game.open_menu != -1) draw_menu(game);
    flush_screen(game);

    const int key = read_normalised_key(game);
    int dx = 0, dy = 0;
    if (direction_for(movement_keys, key, dx, dy)) {
        if (game.open_menu == -1) move_unit(game, 0, dx, dy);
    } else if (direction_for(interaction_keys, key, dx, dy)) {
        if (game.open_menu != -1) {
            if (menu_key(game, dx, dy)) return true;
        } else {
            player_action(game, 0, dx, dy);
        }
    }
    Unit& player = *game.units[0];
    if (player.ammo > 0) --player.ammo;
    if (key == 's' && show_status(game)) return true;
    if (key == key_escape) return true;

    switch (world_step(game)) {
        case WorldOutcome::megaboss_gone: return megaboss_victory(game);
        case WorldOutcome::no_citizens: return defeat(game);
        case WorldOutcome::carry_on: break;
    }
    game.frame_counter = (game.frame_counter + 1) % 10000;
    frame_end(*game.terminal, game.frame_start);
    return false;
}

WorldOutcome world_step(Game& game) {
    unit_update(game);
    building_update(game);
    effect_update(game);

    const bool hostile = hostile_building_present(game);
    const std::int64_t sum = cycle_ooze_total(game);
    if (game.sweep_column == -1 && game.more_sectors == 1 &&
        (sum >= static_cast<std::int64_t>(game.stage) * game.stage * 50 || !hostile)) {
        game.sweep_column = game.open_min_x;
    }
    if (game.more_sectors == 0 && (!hostile || sum >= 50000)) wave_step(game);
    // The megaboss gone ends the frame at once: no census, no pacing.
    if (game.wave_countdown == -2 && !megaboss_on_map(game)) return WorldOutcome::megaboss_gone;
    return take_census(game) > 0 ? WorldOutcome::carry_on : WorldOutcome::no_citizens;
}

}  // namespace qm
