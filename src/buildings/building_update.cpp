#include "buildings/building_update.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "buildings/effect_update.h"
#include "buildings/free_cells.h"
#include "buildings/node_network.h"
#include "buildings/sector_opening.h"
#include "units/combat.h"
#include "units/pathing.h"
#include "world/lists.h"

namespace qm {

namespace {

// Each hostile group stops breeding at this size (as counted at the start of the frame).
constexpr int breeding_cap = 500;
constexpr int citizen_price = 5;
// Citizens per active node of their faction that nodes keep calling for.
constexpr int citizens_per_node = 2;
constexpr int tower_reach = 10;
constexpr KindSet hostile_units =
    kind_set({unit_ooze, unit_enemy_soldier, unit_enemy_general, unit_enemy_flier, unit_boss});
constexpr int tower_period = 100;
constexpr int tower_bolt_life = 20;
constexpr int soldier_hit_points = 3;
constexpr int general_hit_points = 10;
constexpr int flier_hit_points = 3;

// Taken once before any building acts; what is bred this frame does not change it, so every
// winner of its draw still breeds even if that carries a group past its cap.
struct Census {
    int citizens[16] = {};
    int active_nodes[16] = {};
    int oozes = 0;
    int soldiers = 0;
    int fliers = 0;
};

bool valid_faction(int f) { return f >= 0 && f < 16; }

Census take_census(const Game& game) {
    Census c;
    for (const auto& u : game.units) {
        switch (u->kind) {
            case unit_citizen:
                if (valid_faction(u->faction)) ++c.citizens[u->faction];
                break;
            case unit_ooze: ++c.oozes; break;
            case unit_enemy_soldier:
            case unit_enemy_general: ++c.soldiers; break;
            case unit_enemy_flier: ++c.fliers; break;
            default: break;
        }
    }
    for (const auto& b : game.buildings) {
        if (valid_faction(b->faction) && is_active_node(game, *b)) {
            ++c.active_nodes[b->faction];
        }
    }
    return c;
}

// A unit as the initialiser leaves it (its carry slots draw first), then its phase.
Unit bred_unit(Game& game, int kind, int faction, int x, int y) {
    Unit u = fresh_unit(game, kind);
    u.faction = faction;
    u.x = x;
    u.y = y;
    u.phase = random(game, 500);
    return u;
}

struct NodeSpot {
    int faction, x, y;
};

void node_turn(Game& game, const Building& node, const Census& census, std::vector<NodeSpot>& candidates) {
    if (!is_active_node(game, node)) return;
    const int f = node.faction;
    if (valid_faction(f) && census.citizens[f] < citizens_per_node * census.active_nodes[f] &&
        game.ooze_store[f] >= citizen_price) {
        candidates.push_back({f, node.x, node.y});
    }
    if (random(game, 500) != 0 || !room_for_ooze_drop(game)) return;
    release_ooze_drop(game, f, node.x, node.y);
}

void corrupted_node_turn(Game& game, const Building& node, const Census& census) {
    if (random(game, 1000) != 0 || census.oozes >= breeding_cap) return;
    breed_ooze(game, node);
}

void barracks_turn(Game& game, const Building& barracks, const Census& census) {
    if (random(game, 1000) != 0 || census.soldiers >= breeding_cap) return;
    breed_soldier(game, barracks);
}

void airfield_turn(Game& game, const Building& airfield, const Census& census) {
    if (random(game, 2000) != 0 || census.fliers >= breeding_cap) return;
    breed_flier(game, airfield);
}

void tower_turn(Game& game, const Building& tower) {
    if (game.frame_counter % tower_period != tower.phase % tower_period) return;
    const Unit* target = nearest_unit(game, tower.x, tower.y, tower_reach, PickFilter{hostile_units});
    if (target == nullptr) return;
    Effect bolt = fresh_effect();
    bolt.kind = effect_tower_bolt;
    bolt.faction = tower.faction;
    bolt.links = tower.links;
    bolt.x = tower.x;
    bolt.y = tower.y;
    bolt.vx = target->x - tower.x;
    bolt.vy = target->y - tower.y;
    bolt.frac_x = 0;
    bolt.frac_y = 0;
    bolt.life = tower_bolt_life;
    append_effect(game, bolt);
}

void citizen_spawner(Game& game, const std::vector<NodeSpot>& candidates) {
    if (candidates.empty() || random(game, 150) != 0) return;
    const NodeSpot& node = candidates[static_cast<std::size_t>(random(game, static_cast<int>(candidates.size())))];
    CellPosition cell;
    if (!free_neighbour_cell(game, node.x, node.y, cell)) return;
    append_unit(game, bred_unit(game, unit_citizen, node.faction, cell.x, cell.y));
    game.ooze_store[node.faction] -= citizen_price;
}

}  // namespace

void building_update(Game& game) {
    const Census census = take_census(game);
    std::vector<NodeSpot> candidates;
    // Nothing here removes a building; units and effects bred now are appended behind the
    // others and wait for their next turn.
    for (std::size_t i = game.buildings.size(); i-- > 0;) {
        const Building& b = *game.buildings[i];
        switch (b.kind) {
            case building_node: node_turn(game, b, census, candidates); break;
            case building_corrupted_node: corrupted_node_turn(game, b, census); break;
            case building_tower: tower_turn(game, b); break;
            case building_barracks: barracks_turn(game, b, census); break;
            case building_airfield: airfield_turn(game, b, census); break;
            default: break;
        }
    }
    citizen_spawner(game, candidates);
    advance_sweep(game);
}

void breed_ooze(Game& game, const Building& node) {
    CellPosition cell;
    if (!free_neighbour_cell(game, node.x, node.y, cell)) return;
    append_unit(game, bred_unit(game, unit_ooze, node.faction, cell.x, cell.y));
}

void breed_soldier(Game& game, const Building& barracks) {
    CellPosition cell;
    if (!free_neighbour_cell(game, barracks.x, barracks.y, cell)) return;
    const bool general = random(game, 5) == 0;
    Unit u = bred_unit(game, general ? unit_enemy_general : unit_enemy_soldier, barracks.faction, cell.x, cell.y);
    u.hit_points = general ? general_hit_points : soldier_hit_points;
    finish(game, u);
    append_unit(game, u);
}

// Fliers take off from the airfield itself; they need no free cell.
void breed_flier(Game& game, const Building& airfield) {
    Unit u = bred_unit(game, unit_enemy_flier, airfield.faction, airfield.x, airfield.y);
    u.hit_points = u.max_hit_points = flier_hit_points;
    append_unit(game, u);
}

}  // namespace qm
