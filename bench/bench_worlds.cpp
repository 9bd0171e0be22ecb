#include "bench_worlds.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "buildings/building_update.h"
#include "buildings/clouds.h"
#include "buildings/effect_update.h"
#include "buildings/sector_opening.h"
#include "console/startup.h"
#include "flow/game_frame.h"
#include "flow/megaboss_wave.h"
#include "flow/movement.h"
#include "flow/sector_assignment.h"
#include "menus/megaboss_victory.h"
#include "menus/menu_actions.h"
#include "units/flier_behaviour.h"
#include "units/pathing.h"
#include "units/shots.h"
#include "world/lists.h"

namespace qm::bench {
namespace {

// Ten megabosses beaten: the most extra groups a wave brings, and ten corrupted nodes (each
// with its guardian) in most sectors.
constexpr int late_cycles = 10;
constexpr int group_cap = 500;
constexpr int own_generals_one_in = 5;
constexpr int towers_bought = 2;
constexpr int barricades_bought = 1;
// Frames run after the populations are complete: targets are chosen and the first shots fly.
constexpr int warm_up_frames = 30;
constexpr std::size_t effect_ceiling = 1500;
constexpr int shots_on_top = 300;
constexpr int clouds_on_top = 40;
constexpr int fires_on_top = 20;

// The bench's own choices (where a drop lies, who shoots) come from here, so that every draw
// of the game's generator is one the game itself makes.
class Dice {
public:
    explicit Dice(std::uint32_t seed) : state_(seed * 2654435761u + 1u) {}
    int below(int n) {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<int>((state_ >> 8) % static_cast<std::uint32_t>(n));
    }

private:
    std::uint32_t state_;
};

[[noreturn]] void give_up(const char* what) {
    std::fprintf(stderr, "bench world: %s\n", what);
    std::abort();
}

int count_kinds(const Game& game, std::initializer_list<int> kinds) {
    int n = 0;
    for (const auto& u : game.units) {
        for (int k : kinds) n += u->kind == k;
    }
    return n;
}

// The player walks to the start node, lifts it, carries it onto the source, sets it down there
// (the network comes alive around it) and opens its menu: all by keys, as a player would.
void open_menu_on_the_source(Game& game) {
    const int node_x = 205, node_y = 62;
    const int source_x = 210;
    if (find_building_at(game, node_x, node_y) < 0) give_up("no start node");
    while (game.units[0]->x < node_x - 1) move_unit(game, 0, 1, 0);
    move_unit(game, 0, 1, 0);  // into the node: it is lifted into the east slot
    while (game.units[0]->x < source_x - 1) move_unit(game, 0, 1, 0);
    player_action(game, 0, 1, 0);  // set down on the source
    player_action(game, 0, 1, 0);  // the menu of the now active node
    if (game.open_menu != 0) give_up("the node menu did not open");
}

// One purchase in the open node menu, with a windfall first whenever the store runs short.
void buy(Game& game, int dx, int dy) {
    const int f = game.buildings[static_cast<std::size_t>(game.menu_building)]->faction;
    const int price = node_menu_boxes[static_cast<std::size_t>(menu_box_index(dx, dy))].price;
    if (game.ooze_store[static_cast<std::size_t>(f)] < price) game.ooze_store[static_cast<std::size_t>(f)] += 10000;
    menu_key(game, dx, dy);
}

void buy_defenders(Game& game) {
    buy(game, -1, -1);  // allegiance: the player's bolts take the node's power
    for (int k = 0; k < group_cap; ++k) {
        if (k % own_generals_one_in == own_generals_one_in - 1) {
            buy(game, 1, 0);
        } else {
            buy(game, 1, -1);
        }
    }
    for (int k = 0; k < group_cap; ++k) buy(game, -1, 1);
    for (int k = 0; k < towers_bought; ++k) buy(game, 0, -1);
    for (int k = 0; k < barricades_bought; ++k) buy(game, -1, 0);
    menu_key(game, 0, 1);  // close
}

std::vector<const Building*> buildings_of(const Game& game, int kind) {
    std::vector<const Building*> out;
    for (const auto& b : game.buildings) {
        if (b->kind == kind) out.push_back(b.get());
    }
    return out;
}

// Each group bred in turn at every one of its buildings until it reaches the breeding cap.
void breed_hostiles(Game& game) {
    const auto corrupted = buildings_of(game, building_corrupted_node);
    const auto barracks = buildings_of(game, building_barracks);
    const auto airfields = buildings_of(game, building_airfield);
    if (corrupted.empty() || barracks.empty() || airfields.empty()) give_up("no breeding buildings");
    for (std::size_t k = 0; count_kinds(game, {unit_ooze}) < group_cap && k < 20 * group_cap; ++k) {
        breed_ooze(game, *corrupted[k % corrupted.size()]);
    }
    for (std::size_t k = 0; count_kinds(game, {unit_enemy_soldier, unit_enemy_general}) < group_cap && k < 20 * group_cap; ++k) {
        breed_soldier(game, *barracks[k % barracks.size()]);
    }
    for (std::size_t k = 0; count_kinds(game, {unit_enemy_flier}) < group_cap; ++k) {
        breed_flier(game, *airfields[k % airfields.size()]);
    }
}

// A frame of the world as the game frame runs it, less drawing and keys; the player fires
// whenever the weapon is ready, round the compass, except where a building stands beside it.
bool run_frame(Game& game, int& heading) {
    Unit& player = *game.units[0];
    if (player.ammo == 0) {
        static constexpr int dirs[8][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
        for (int tries = 0; tries < 8; ++tries) {
            const auto& d = dirs[heading++ % 8];
            if (find_building_at(game, player.x + d[0], player.y + d[1]) >= 0) continue;
            player_action(game, 0, d[0], d[1]);
            break;
        }
    }
    if (player.ammo > 0) --player.ammo;
    if (world_step(game) != WorldOutcome::carry_on) return false;
    game.frame_counter = (game.frame_counter + 1) % 10000;
    return true;
}

// Everyone with a unit target in range fires at it, as the fighters and fliers do.
void fire_shots(Game& game, Dice& dice) {
    int fired = 0;
    const std::size_t n = game.units.size();
    const std::size_t start = static_cast<std::size_t>(dice.below(static_cast<int>(n)));
    for (std::size_t k = 0; k < n && fired < shots_on_top; ++k) {
        const Unit& u = *game.units[(start + k) % n];
        if (u.kind == unit_player || u.target_unit == nullptr) continue;
        const Unit& foe = *u.target_unit;
        if (!in_shot_range(u, foe.x, foe.y) || (foe.x == u.x && foe.y == u.y)) continue;
        fire_shot(game, u, is_hostile_unit_kind(u.kind) ? effect_hostile_shot : effect_friendly_shot, foe.x, foe.y);
        ++fired;
    }
}

void release_clouds(Game& game, Dice& dice) {
    for (int k = 0; k < clouds_on_top; ++k) {
        const Unit& a = *game.units[static_cast<std::size_t>(dice.below(static_cast<int>(game.units.size())))];
        release_acid_cloud(game, a.x, a.y, is_hostile_unit_kind(a.kind) ? 0 : 1, 100);
        const Unit& b = *game.units[static_cast<std::size_t>(dice.below(static_cast<int>(game.units.size())))];
        release_poison_cloud(game, b.x, b.y, is_hostile_unit_kind(b.kind) ? 0 : 1, 100);
    }
}

// Fliers out of fuel come down in flames; only those alone on their cell, away from every
// building, so that a crash takes nobody else with it.
void crash_fliers(Game& game) {
    int crashed = 0;
    for (std::size_t i = game.units.size(); i-- > 1 && crashed < fires_on_top;) {
        const Unit& f = *game.units[i];
        if (!is_flier_kind(f.kind) || f.hit_points <= 0 || find_building_at(game, f.x, f.y) >= 0) continue;
        int here = 0;
        for (const auto& u : game.units) here += u->x == f.x && u->y == f.y;
        if (here != 1) continue;
        crash(game, static_cast<int>(i));
        ++crashed;
    }
}

// Drops rising over the player's sector, where the network's citizens would release them.
void fill_with_drops(Game& game, Dice& dice) {
    while (game.effects.size() < effect_ceiling) {
        const int faction = dice.below(4) == 0 ? dice.below(16) : game.player_faction;
        // Drawn one by one, the row first: the order of a call's arguments is the compiler's.
        const int y = 51 + dice.below(23);
        const int x = 161 + dice.below(78);
        release_ooze_drop(game, faction, x, y);
    }
}

}  // namespace

void start_world(Game& game, Terminal& terminal, std::uint32_t seed, int faction) {
    game.terminal = &terminal;
    game.seed = seed;
    terminal.set_realtime_input(true);
    reset_game_state(game);
    game.player_faction = faction;
    start_new_game(game);
}

void open_map_world(Game& game, Terminal& terminal, std::uint32_t seed, int faction) {
    start_world(game, terminal, seed, faction);
    while (game.more_sectors == 1) open_next_stage(game);
}

void full_world(Game& game, Terminal& terminal, std::uint32_t seed, int faction) {
    start_world(game, terminal, seed, faction);
    for (int c = 0; c < late_cycles; ++c) start_next_cycle(game);
    while (game.more_sectors == 1) open_next_stage(game);
    open_menu_on_the_source(game);
    buy_defenders(game);
    breed_hostiles(game);
    while (game.wave_countdown != wave_megaboss_present) wave_step(game);

    int heading = 0;
    for (int f = 0; f < warm_up_frames; ++f) {
        if (!run_frame(game, heading)) break;
    }
    Dice dice(seed);
    fill_with_drops(game, dice);
    fire_shots(game, dice);
    release_clouds(game, dice);
    crash_fliers(game);
}

Census take_census(const Game& game) {
    Census c;
    c.units = static_cast<int>(game.units.size());
    for (const auto& u : game.units) {
        switch (u->kind) {
            case unit_ooze: ++c.oozes; break;
            case unit_citizen: ++c.citizens; break;
            case unit_enemy_soldier:
            case unit_enemy_general: ++c.enemy_fighters; break;
            case unit_enemy_flier: ++c.enemy_fliers; break;
            case unit_own_soldier:
            case unit_own_general: ++c.own_fighters; break;
            case unit_own_flier: ++c.own_fliers; break;
            case unit_boss:
                ++c.bosses;
                if (u->flags & unit_megaboss) ++c.megabosses;
                break;
            default: break;
        }
    }
    c.buildings = static_cast<int>(game.buildings.size());
    c.effects = static_cast<int>(game.effects.size());
    for (const auto& e : game.effects) {
        switch (e->kind) {
            case effect_ooze_drop: ++c.drops; break;
            case effect_bolt:
            case effect_tower_bolt: ++c.bolts; break;
            case effect_hostile_shot:
            case effect_friendly_shot: ++c.shots; break;
            case effect_fire: ++c.fires; break;
            default: ++c.clouds; break;
        }
    }
    return c;
}

std::string describe(const Census& c) {
    char text[400];
    std::snprintf(text, sizeof text,
                  "units %d (oozes %d, enemy soldiers+generals %d, enemy fliers %d, own soldiers+generals %d, "
                  "own fliers %d, bosses %d incl. megaboss %d, citizens %d), buildings %d, effects %d (drops %d, "
                  "shots %d, bolts %d, clouds %d, fires %d)",
                  c.units, c.oozes, c.enemy_fighters, c.enemy_fliers, c.own_fighters, c.own_fliers, c.bosses,
                  c.megabosses, c.citizens, c.buildings, c.effects, c.drops, c.shots, c.bolts, c.clouds, c.fires);
    return text;
}

}  // namespace qm::bench
