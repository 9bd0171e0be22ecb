#include "flow/movement.h"

#include <array>
#include <cstdlib>
#include <vector>

#include "buildings/node_network.h"
#include "flow/follow_view.h"
#include "records/statistics.h"
#include "units/barrier_dissolve.h"
#include "units/combat.h"
#include "world/directions.h"
#include "world/grey_block.h"
#include "world/lists.h"

namespace qm {

namespace {

// How far around the target buildings are looked at: the carried buildings reach one cell
// beyond it, and nothing farther can touch the unit or its load.
constexpr int contact_reach = 1;

// Blows on a hostile building by own soldiers and own generals.
constexpr int soldier_razing_blow = 1;
constexpr int general_razing_blow = 5;
// Blows on a tower or barricade by enemy soldiers, enemy generals and bosses.
constexpr int enemy_razing_blow = 1;

constexpr int bolt_life = 100;
// Frames between bolts, by the power of the weapon: slow, heavy powers reload longest.
constexpr std::array<int, 16> weapon_cooldowns{20, 20, 30, 20, 50, 100, 30, 8,
                                               15, 30, 20, 30, 20, 30, 50, 30};
// From this weapon level on the cooldown is halved and shrinks no further.
constexpr int weapon_level_cap = 10;

// Which menu the interaction key opens at a building.
constexpr int node_menu = 0;
constexpr int inactive_node_panel = 1;
constexpr int key_panel = 2;

// The kinds whose steps grind a grey wall down a grade.
constexpr bool wears_walls(int kind) {
    return kind == unit_ooze || kind == unit_own_soldier || kind == unit_enemy_soldier ||
           kind == unit_enemy_general || kind == unit_own_general || kind == unit_boss;
}

// The kinds a barrier holds back; everyone else walks through it.
constexpr bool stopped_by_barrier(int kind) {
    return kind == unit_player || kind == unit_own_soldier || kind == unit_own_general;
}

constexpr bool can_be_carried(int kind) {
    return kind == building_node || kind == building_corrupted_node || kind == building_tower ||
           kind == building_key || kind == building_barricade;
}

void take_building(Game& game, Unit& unit, int slot, Building& building) {
    network_walk(game, building, false);
    Building& carried = unit.carry_slots[static_cast<std::size_t>(slot)];
    carried = building;
    // Whatever the player lifts becomes the player's: a corrupted node is carried as a node.
    if (carried.kind == building_corrupted_node) carried.kind = building_node;
    remove_building(game, static_cast<std::size_t>(building_index(game, &building)));
}

void corrupt_node(Game& game, const Unit& ooze, Building& node) {
    network_walk(game, node, false);
    change_kind(game, node, building_corrupted_node);
    node.faction = ooze.faction;
}

// One blow at the building; a building at 0 hit points or below is gone, and a razed
// barracks or airfield is counted.
void strike_building(Game& game, Building& building, int amount, int type, bool counted) {
    damage_building(game, building, amount, type);
    if (building.hit_points > 0) return;
    if (counted) record_razing(game, building.kind, building.faction);
    remove_building(game, static_cast<std::size_t>(building_index(game, &building)));
}

// Step 3: walls, barriers and the carried buildings; false when the step is refused.
bool terrain_allows(Game& game, Unit& unit, int tx, int ty) {
    Cell& cell = map_cell(game, tx, ty);
    if (is_wall_glyph(cell.glyph)) {
        // Only grey walls wear; green walls and walls of other colours never give.
        if (wears_walls(unit.kind) && is_grey_block(cell)) wear_down(cell);
        return false;
    }
    if (cell.glyph == glyph_barrier && stopped_by_barrier(unit.kind)) return false;

    bool blocked = false;
    for (int d = 0; d < 8; ++d) {
        Building& slot = unit.carry_slots[static_cast<std::size_t>(d)];
        if (slot.empty()) continue;
        const Offset off = direction_offset(d);
        const int sx = tx + off.dx;
        const int sy = ty + off.dy;
        if (!on_map(sx, sy)) continue;
        const int glyph = map_cell(game, sx, sy).glyph;
        if (is_wall_glyph(glyph)) blocked = true;
        if (glyph == glyph_barrier) {
            blocked = true;
            if (slot.kind == building_key) {
                slot.kind = building_none;  // the key is spent on the barrier
                dissolve_barrier(game, sx, sy);
            }
        }
    }
    return !blocked;
}

void set_down(Game& game, Unit& unit, int slot, int dx, int dy) {
    // The fresh record draws its phase, which the carried fields then overwrite.
    Building building = fresh_building(game);
    Building& carried = unit.carry_slots[static_cast<std::size_t>(slot)];
    building = carried;
    building.x = unit.x + dx;
    building.y = unit.y + dy;
    Building& placed = append_building(game, building);
    network_walk(game, placed, true);
    carried.kind = building_none;
}

void open_building_menu(Game& game, int menu) {
    game.open_menu = menu;
    game.menu_flash.fill(0);
}

void fire_bolt(Game& game, Unit& unit, int dx, int dy) {
    Effect bolt = fresh_effect();
    bolt.kind = effect_bolt;
    bolt.x = unit.x;
    bolt.y = unit.y;
    bolt.faction = unit.affinity;
    bolt.links = unit.links;
    bolt.life = bolt_life;
    bolt.vx = random(game, 11) + 50 * dx - 5;
    bolt.vy = random(game, 11) + 50 * dy - 5;
    bolt.frac_x = 0;
    bolt.frac_y = 0;
    if (dx != 0 && dy != 0) {
        // A diagonal bolt runs at full speed along the axis the coin picks and at 70 to 100
        // along the other, starting at the edge of its cell on that other axis.
        if (random(game, 2) != 0) {
            bolt.vy = bolt.vy <= 0 ? -100 : 100;
            bolt.vx = dx <= 0 ? random(game, 30) - 100 : 100 - random(game, 30);
            bolt.frac_x = dx <= 0 ? -99 : 99;
        } else {
            bolt.vx = bolt.vx <= 0 ? -100 : 100;
            bolt.vy = dy <= 0 ? random(game, 30) - 100 : 100 - random(game, 30);
            bolt.frac_y = dy <= 0 ? -99 : 99;
        }
    }
    append_effect(game, bolt);
    unit.ammo = weapon_cooldown(unit.affinity, unit.weapon_level);
}

// Whether one of the unit's carried buildings would land on the building at target (tx, ty).
bool slot_collision(const Unit& unit, const Building& building, int tx, int ty) {
    for (int d = 0; d < 8; ++d) {
        if (unit.carry_slots[static_cast<std::size_t>(d)].empty()) continue;
        const Offset off = direction_offset(d);
        if (tx + off.dx == building.x && ty + off.dy == building.y) return true;
    }
    return false;
}

// What happens when the unit steps onto the building's cell; true when the unit is blocked.
bool building_contact(Game& game, Unit& unit, Building& building) {
    if (is_flier_kind(unit.kind)) return false;  // fliers pass over buildings

    const int d = direction_of(building.x - unit.x, building.y - unit.y);
    // Only a neighbour (or the unit's own cell, which direction_of calls 0) has a slot;
    // anything farther has no direction and must not index the slots.
    if (d < 0 || d > 7) return false;
    if (!unit.carry_slots[static_cast<std::size_t>(d)].empty()) return true;

    switch (unit.kind) {
        case unit_player:
            if (can_be_carried(building.kind)) take_building(game, unit, d, building);
            break;
        case unit_ooze:
            if (building.kind == building_node) corrupt_node(game, unit, building);
            break;
        case unit_own_soldier:
        case unit_own_general:
            if (building.kind == building_barracks || building.kind == building_airfield) {
                const int blow =
                    unit.kind == unit_own_general ? general_razing_blow : soldier_razing_blow;
                strike_building(game, building, blow, unit.faction, true);
            }
            break;
        case unit_enemy_soldier:
        case unit_enemy_general:
        case unit_boss:
            if (building.kind == building_tower || building.kind == building_barricade) {
                strike_building(game, building, enemy_razing_blow, unit.faction, false);
            }
            break;
        default:
            break;
    }
    // Nobody but a flier ever enters a building's cell.
    return true;
}

}  // namespace

int weapon_cooldown(int power, int weapon_level) {
    const int base = weapon_cooldowns[static_cast<std::size_t>(power)];
    if (weapon_level <= 0) return base;
    if (weapon_level >= weapon_level_cap) return base * 10 / 20;
    return base * (20 - weapon_level) / 20;
}

void move_unit(Game& game, int i, int dx, int dy) {
    Unit& unit = *game.units[static_cast<std::size_t>(i)];
    int tx = unit.x + dx;
    int ty = unit.y + dy;

    // Last to first. Every contact that can take or raze a building reports blocked, so the
    // walk ends at once and never goes on past a removal.
    {
        const auto near = game.index.buildings_near(tx, ty, contact_reach);
        for (std::size_t n = near.size(); n-- > 0;) {
            Building& building = *near[n];
            if (slot_collision(unit, building, tx, ty)) return;
            if (building.x == tx && building.y == ty && building_contact(game, unit, building)) return;
        }
    }

    // Each carried building on a side keeps the unit one cell further from that border.
    int min_x = 0, max_x = map_width - 1, min_y = 0, max_y = map_height - 1;
    for (int d = 0; d < 8; ++d) {
        if (unit.carry_slots[static_cast<std::size_t>(d)].empty()) continue;
        const Offset off = direction_offset(d);
        if (off.dx == -1) min_x = 1;
        if (off.dx == +1) max_x = map_width - 2;
        if (off.dy == -1) min_y = 1;
        if (off.dy == +1) max_y = map_height - 2;
    }
    if (tx < min_x || tx > max_x) tx = unit.x;
    if (ty < min_y || ty > max_y) ty = unit.y;
    if (!on_map(tx, ty)) return;

    if (!is_flier_kind(unit.kind) && !terrain_allows(game, unit, tx, ty)) return;

    place_unit(game, unit, tx, ty);
    if (i == 0) follow_view(game, unit.x, unit.y);
}

void player_action(Game& game, int i, int dx, int dy) {
    Unit& unit = *game.units[static_cast<std::size_t>(i)];
    const int d = direction_of(dx, dy);
    if (d < 0 || d > 7) return;

    if (!unit.carry_slots[static_cast<std::size_t>(d)].empty()) {
        // Set down wherever the cell is: walls, buildings and units do not stop it.
        set_down(game, unit, d, dx, dy);
        return;
    }

    const int b = find_building_at(game, unit.x + dx, unit.y + dy);
    if (b >= 0) {
        const Building& building = *game.buildings[static_cast<std::size_t>(b)];
        if (building.kind == building_key) {
            open_building_menu(game, key_panel);
        } else if (building.kind == building_node) {
            if (is_active_node(game, building)) {
                game.menu_building = b;
                open_building_menu(game, node_menu);
            } else {
                open_building_menu(game, inactive_node_panel);
            }
        }
        return;  // a building in the way is never shot at
    }

    if (unit.affinity < 0 || unit.affinity >= static_cast<int>(weapon_cooldowns.size())) return;
    if (unit.ammo != 0) return;
    fire_bolt(game, unit, dx, dy);
}

}  // namespace qm
