#include "units/ground_behaviour.h"

#include <vector>

#include "buildings/effect_update.h"
#include "units/combat.h"
#include "units/shots.h"
#include "world/lists.h"

namespace qm {

namespace {

constexpr int whole_map = 1050;
constexpr int fighter_reach = 10;
// A citizen mills about within this distance of its node or of the player unit.
constexpr int citizen_gathering = 3;
// Own fighters stay within this distance of the player unit when idle.
constexpr int escort_distance = 4;

constexpr TargetSearch ooze_search{
    {kind_set({building_node})}, whole_map, {kind_set({unit_citizen})}, whole_map};
constexpr TargetSearch own_fighter_search{
    {kind_set({building_barracks, building_airfield})}, fighter_reach,
    {kind_set({unit_ooze, unit_enemy_soldier, unit_enemy_general, unit_boss})}, fighter_reach};
constexpr KindSet enemy_fighter_unit_targets =
    kind_set({unit_player, unit_citizen, unit_own_soldier, unit_own_general});
constexpr KindSet leader_kinds = kind_set({unit_enemy_general, unit_boss});

bool is_leader_kind(int kind) { return in_kind_set(leader_kinds, kind); }

void ooze_turn(Game& game, int i) {
    Unit& ooze = *game.units[i];
    Step step = wander_step(game);
    target_upkeep(game, ooze, ooze_search);

    Unit* prey = ooze.target_unit;
    if (ooze.target_building == nullptr || (prey != nullptr && unit_target_nearer(ooze))) {
        if (prey != nullptr) {
            step = step_toward(game, ooze, prey->x, prey->y);
            // Whatever the prey has become meanwhile, it turns into an ooze of this faction.
            if (adjacent(ooze, prey->x, prey->y)) {
                change_kind(game, *prey, unit_ooze);
                prey->faction = ooze.faction;
                return;
            }
        }
        move_by(game, i, step);
        return;
    }
    const Building& node = *ooze.target_building;
    move_by(game, i, step_toward(game, ooze, node.x, node.y));
}

void citizen_turn(Game& game, int i) {
    Unit& citizen = *game.units[i];
    Step step = wander_step(game);

    if (citizen.target_building != nullptr && citizen.target_building->kind != building_node) {
        citizen.target_building = nullptr;
    }
    if (random(game, 5) == 0) citizen.target_building = nullptr;
    if (citizen.target_building == nullptr) citizen.target_building = citizen_node_pick(game, citizen);

    if (const Building* node = citizen.target_building) {
        if (distance(citizen, *node) > citizen_gathering) step = step_toward(game, citizen, node->x, node->y);
    } else {
        const Unit& player = *game.units[0];
        if (distance(citizen, player) > citizen_gathering) step = step_toward(game, citizen, player.x, player.y);
    }
    move_by(game, i, step);

    if (random(game, 10) == 0 && room_for_ooze_drop(game)) release_ooze_drop(game, citizen.faction, citizen.x, citizen.y);
}

void own_fighter_turn(Game& game, int i) {
    Unit& fighter = *game.units[i];
    Step step = wander_step(game);
    target_upkeep(game, fighter, own_fighter_search);

    Unit* foe = fighter.target_unit;
    if (foe != nullptr && (fighter.target_building == nullptr || unit_target_nearer(fighter))) {
        step = step_toward(game, fighter, foe->x, foe->y);
        if (in_shot_range(fighter, foe->x, foe->y) && fighter.ammo != 0 &&
            random(game, 50) < stat(game, fighter, power_marksmanship)) {
            fire_shot(game, fighter, effect_friendly_shot, foe->x, foe->y);
        }
        if (adjacent(fighter, foe->x, foe->y)) {
            attack(game, fighter, *foe);
            return;
        }
        move_by(game, i, step);
        return;
    }
    if (const Building* hold = fighter.target_building) {
        move_by(game, i, step_toward(game, fighter, hold->x, hold->y));
        return;
    }
    const Unit& player = *game.units[0];
    if (distance(fighter, player) >= escort_distance) step = step_toward(game, fighter, player.x, player.y);
    move_by(game, i, step);
}

void enemy_fighter_turn(Game& game, int i) {
    Unit& fighter = *game.units[i];
    Step step = wander_step(game);
    const bool soldier = fighter.kind == unit_enemy_soldier;
    const int limit = soldier ? fighter_reach : whole_map;
    target_upkeep(game, fighter,
                  TargetSearch{{kind_set({building_tower})}, limit, {enemy_fighter_unit_targets}, limit});
    // With nobody to fight in reach, a soldier falls in behind a general or boss of its own.
    if (soldier && fighter.target_unit == nullptr) {
        fighter.target_unit = nearest_unit(game, fighter, whole_map, PickFilter{leader_kinds, fighter.faction});
    }

    Unit* foe = fighter.target_unit;
    if (const Building* tower = fighter.target_building; tower != nullptr && (foe == nullptr || !unit_target_nearer(fighter))) {
        move_by(game, i, step_toward(game, fighter, tower->x, tower->y));
        return;
    }
    if (foe != nullptr) {
        step = step_toward(game, fighter, foe->x, foe->y);
        // A leader is followed, never shot or struck.
        const bool leader = is_leader_kind(foe->kind);
        if (in_shot_range(fighter, foe->x, foe->y) && !leader && fighter.ammo != 0 &&
            random(game, 50) < stat(game, fighter, power_marksmanship)) {
            fire_shot(game, fighter, effect_hostile_shot, foe->x, foe->y);
        }
        if (adjacent(fighter, foe->x, foe->y) && !leader) {
            attack(game, fighter, *foe);
            return;
        }
    }
    move_by(game, i, step);
}

}  // namespace

void target_upkeep(Game& game, Unit& unit, const TargetSearch& search) {
    if (unit.target_building != nullptr && !in_kind_set(search.buildings.kinds, unit.target_building->kind)) {
        unit.target_building = nullptr;
    }
    if (random(game, 5) == 0) unit.target_building = nullptr;
    if (random(game, 5) == 0) unit.target_unit = nullptr;
    if (unit.target_building == nullptr) {
        unit.target_building = nearest_building(game, unit, search.building_limit, search.buildings);
    }
    if (unit.target_unit == nullptr) {
        unit.target_unit = nearest_unit(game, unit, search.unit_limit, search.units);
    }
}

bool unit_target_nearer(const Unit& unit) {
    return distance(unit, *unit.target_unit) < distance(unit, *unit.target_building);
}

Building* citizen_node_pick(Game& game, const Unit& citizen) {
    int limit = whole_map;
    bool own_found = false;
    std::vector<Building*> ties;
    for (const auto& b : game.buildings) {
        if (b->kind != building_node) continue;
        const int d = distance(citizen, *b);
        const bool own = b->faction == citizen.faction;
        bool take = false;
        if (d < limit) {
            // Once an own node is held, a nearer foreign one is passed over.
            take = !own_found || own;
        } else if (own_found) {
            if (d == limit) ties.push_back(b.get());
        } else if (own) {
            // The first own node displaces every foreign one, however near those are.
            take = true;
        } else if (d == limit) {
            ties.push_back(b.get());
        }
        if (take) {
            ties.clear();
            ties.push_back(b.get());
            limit = d;
            if (own) own_found = true;
        }
    }
    if (ties.empty()) return nullptr;
    return ties[static_cast<std::size_t>(random(game, static_cast<int>(ties.size())))];
}

void ground_behaviour(Game& game, int i) {
    switch (game.units[i]->kind) {
        case unit_ooze: ooze_turn(game, i); break;
        case unit_citizen: citizen_turn(game, i); break;
        case unit_own_soldier:
        case unit_own_general: own_fighter_turn(game, i); break;
        case unit_enemy_soldier:
        case unit_enemy_general:
        case unit_boss: enemy_fighter_turn(game, i); break;
        default: break;
    }
}

}  // namespace qm
