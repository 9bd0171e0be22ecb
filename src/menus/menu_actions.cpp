#include "menus/menu_actions.h"

#include "buildings/free_cells.h"
#include "menus/menu_display.h"
#include "records/statistics.h"
#include "records/status_screen.h"
#include "units/combat.h"
#include "world/lists.h"

namespace qm {
namespace {

constexpr int barricade_hit_points = 30;
constexpr int soldier_hit_points = 3;
constexpr int general_hit_points = 10;
constexpr int flier_hit_points = 3;

struct Census {
    int own_fighters = 0;  // own soldiers and own generals share one limit
    int own_fliers = 0;
    int towers = 0;
    int barricades = 0;
};

Census take_census(const Game& game) {
    Census c;
    for (const auto& u : game.units) {
        if (u->kind == unit_own_soldier || u->kind == unit_own_general) ++c.own_fighters;
        if (u->kind == unit_own_flier) ++c.own_fliers;
    }
    for (const auto& b : game.buildings) {
        if (b->kind == building_tower) ++c.towers;
        if (b->kind == building_barricade) ++c.barricades;
    }
    return c;
}

bool within_limit(Purchase purchase, const Census& c) {
    switch (purchase) {
        case Purchase::tower: return c.towers < purchase_limit;
        case Purchase::barricade: return c.barricades < purchase_limit;
        case Purchase::soldier:
        case Purchase::general: return c.own_fighters < purchase_limit;
        case Purchase::flier: return c.own_fliers < purchase_limit;
        default: return true;
    }
}

// The levels are raised at random and shown flashing; true when the player quit there.
bool run_promotion(Game& game, int faction, const LinkedFactions& linked) {
    return promote(game, faction, linked[0], linked[1], linked[2], linked[3]);
}

void place_building(Game& game, int kind, int faction, const LinkedFactions& linked, CellPosition cell) {
    Building b = fresh_building(game);
    b.kind = kind;
    b.faction = faction;
    b.links = linked;
    b.x = cell.x;
    b.y = cell.y;
    if (kind == building_barricade) b.hit_points = barricade_hit_points;
    append_building(game, b);
}

void recruit(Game& game, int kind, int faction, const LinkedFactions& linked, CellPosition cell) {
    Unit u = fresh_unit(game, kind);
    u.faction = faction;
    u.x = cell.x;
    u.y = cell.y;
    u.phase = random(game, 500);
    u.affinity = faction;
    u.links = linked;
    if (kind == unit_own_flier) {
        u.hit_points = u.max_hit_points = flier_hit_points;
    } else {
        u.hit_points = kind == unit_own_general ? general_hit_points : soldier_hit_points;
        finish(game, u);
    }
    append_unit(game, u);
    record_recruit(game, faction, kind);
}

bool node_menu_key(Game& game, int dx, int dy) {
    if (!menu_node_valid(game)) {
        game.open_menu = -1;
        return false;
    }
    const auto index = static_cast<std::size_t>(game.menu_building);
    const int slot = menu_box_index(dx, dy);
    const MenuBox box = node_menu_boxes[slot];
    if (box.purchase == Purchase::none) return false;
    if (box.purchase == Purchase::close) {
        game.open_menu = -1;
        return false;
    }

    // Copied: a purchase appends to the building list, which may move what it holds.
    const Building node = *game.buildings[index];
    const int f = node.faction;
    const LinkedFactions linked = linked_node_factions(game, node);
    if (game.ooze_store[f] < box.price || !within_limit(box.purchase, take_census(game))) return false;

    // Paid before a cell is looked for: with every neighbour taken the ooze is still gone.
    record_purchase(game, f, box.price);
    game.menu_flash[slot] = menu_flash_frames;

    CellPosition cell{};
    switch (box.purchase) {
        case Purchase::allegiance: {
            Unit& player = *game.units[0];
            player.faction = f;
            player.affinity = f;
            player.links = linked;
            return false;
        }
        case Purchase::tower:
        case Purchase::barricade:
            if (free_neighbour_cell(game, node.x, node.y, cell)) {
                place_building(game, box.purchase == Purchase::tower ? building_tower : building_barricade, f,
                               linked, cell);
            }
            return false;
        case Purchase::soldier:
        case Purchase::general:
            if (free_neighbour_cell(game, node.x, node.y, cell)) {
                recruit(game, box.purchase == Purchase::general ? unit_own_general : unit_own_soldier, f, linked,
                        cell);
            }
            return false;
        case Purchase::flier:
            // Fliers take off from the node itself.
            recruit(game, unit_own_flier, f, linked, {node.x, node.y});
            return false;
        case Purchase::promotion: return run_promotion(game, f, linked);
        default: return false;
    }
}

}  // namespace

LinkedFactions linked_node_factions(const Game& game, const Building& node) {
    static constexpr std::array<CellPosition, 4> offsets{{{-2, -1}, {1, -2}, {-1, 2}, {2, 1}}};
    LinkedFactions linked{-1, -1, -1, -1};
    for (const auto& b : game.buildings) {
        if (b->kind != building_node) continue;
        for (std::size_t k = 0; k < offsets.size(); ++k) {
            if (b->x == node.x + offsets[k].x && b->y == node.y + offsets[k].y) linked[k] = b->faction;
        }
    }
    return linked;
}

bool menu_key(Game& game, int dx, int dy) {
    if (dx < -1 || dx > 1 || dy < -1 || dy > 1) return false;
    if (game.open_menu == 1 || game.open_menu == 2) {
        if (dx == 0 && dy == 1) game.open_menu = -1;
        return false;
    }
    if (game.open_menu != 0) return false;
    return node_menu_key(game, dx, dy);
}

}  // namespace qm
