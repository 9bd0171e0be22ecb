#include "units/flier_behaviour.h"

#include <vector>

#include "units/pathing.h"
#include "units/shots.h"
#include "world/lists.h"

namespace qm {

namespace {

constexpr int whole_map = 1050;
constexpr int full_tank = 1000;
// Below this much fuel a flier breaks off its mission.
constexpr int reserve_fuel = 400;
constexpr int full_bomb_load = 10;
constexpr int crash_fire_life = 100;

// What one side's fliers fly from and fly against.
struct FlierRole {
    int home_kind;
    KindSet mission_buildings;
    KindSet mission_units;
    int bomb_kind;
};

constexpr FlierRole enemy_flier_role{
    building_airfield, kind_set({building_tower}),
    kind_set({unit_player, unit_citizen, unit_own_soldier, unit_own_general, unit_own_flier}),
    effect_hostile_shot};
constexpr FlierRole own_flier_role{
    building_node, kind_set({building_barracks, building_airfield}),
    kind_set({unit_ooze, unit_enemy_soldier, unit_enemy_general, unit_enemy_flier, unit_boss}),
    effect_friendly_shot};

// Buildings a crash wrecks; nodes, corrupted nodes and keys survive the fire.
constexpr KindSet wrecked_by_crash = kind_set({building_tower, building_barracks, building_airfield, building_barricade});

void fly_home(Game& game, Unit& flier, const FlierRole& role, Step& step) {
    if (const Building* b = flier.target_building; b != nullptr && (b->kind != role.home_kind || b->faction != flier.faction)) {
        flier.target_building = nullptr;
    }
    if (random(game, 5) == 0) flier.target_building = nullptr;
    if (flier.target_building == nullptr) {
        flier.target_building = nearest_building(game, flier, whole_map, PickFilter{kind_set({role.home_kind}), flier.faction});
    }
    const Building* home = flier.target_building;
    if (home == nullptr) return;
    step = step_toward(game, flier, home->x, home->y);
    if (flier.x == home->x && flier.y == home->y) {
        flier.fuel = full_tank;
        if (random(game, 200) == 0) {
            flier.ammo = full_bomb_load;
            flier.target_building = nullptr;
            flier.target_unit = nullptr;
        }
    }
}

void fly_mission(Game& game, Unit& flier, const FlierRole& role, Step& step) {
    if (flier.target_building != nullptr && !in_kind_set(role.mission_buildings, flier.target_building->kind)) {
        flier.target_building = nullptr;
    }
    if (random(game, 5) == 0) flier.target_building = nullptr;
    if (random(game, 5) == 0) flier.target_unit = nullptr;
    if (flier.target_building == nullptr) {
        flier.target_building = nearest_building(game, flier, whole_map, PickFilter{role.mission_buildings});
    }
    if (flier.target_unit == nullptr) {
        flier.target_unit = nearest_unit(game, flier, whole_map, PickFilter{role.mission_units});
    }

    int tx = 0;
    int ty = 0;
    const Building* building = flier.target_building;
    const Unit* unit = flier.target_unit;
    if (building == nullptr || (unit != nullptr && distance(flier, *unit) < distance(flier, *building))) {
        if (unit == nullptr) return;
        tx = unit->x;
        ty = unit->y;
    } else {
        tx = building->x;
        ty = building->y;
    }
    step = step_toward(game, flier, tx, ty);
    if (in_shot_range(flier, tx, ty) && random(game, 4) == 0) {
        fire_shot(game, flier, role.bomb_kind, tx, ty);
        flier.ammo -= 1;
    }
}

}  // namespace

void flier_behaviour(Game& game, int i) {
    Unit& flier = *game.units[i];
    const FlierRole& role = flier.kind == unit_enemy_flier ? enemy_flier_role : own_flier_role;
    Step step = wander_step(game);
    flier.fuel -= 1;
    if (flier.ammo < 1 || flier.fuel < reserve_fuel) {
        fly_home(game, flier, role, step);
    } else {
        fly_mission(game, flier, role, step);
    }
    move_by(game, i, step);
    if (flier.fuel <= 0) crash(game, i);
}

void crash(Game& game, int i) {
    const int x = game.units[i]->x;
    const int y = game.units[i]->y;
    Effect fire = fresh_effect();
    fire.kind = effect_fire;
    fire.x = x;
    fire.y = y;
    fire.life = crash_fire_life;
    append_effect(game, fire);

    // Not counted as razing: nobody on the player's side destroyed them. From the last in the
    // list, as a sweep that removes goes.
    {
        const auto here = game.index.buildings_at(x, y);
        for (std::size_t n = here.size(); n-- > 0;) {
            Building& building = *here[n];
            if (in_kind_set(wrecked_by_crash, building.kind)) {
                remove_building(game, static_cast<std::size_t>(building_index(game, &building)));
            }
        }
    }
    // The death sweep at the end of the unit update counts them and clears the cell.
    for (Unit* unit : game.index.units_at(x, y)) unit->hit_points = 0;
}

}  // namespace qm
