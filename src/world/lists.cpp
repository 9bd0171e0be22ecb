#include "world/lists.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace qm {

Building fresh_building(Game& game) {
    Building b;
    b.kind = building_none;
    b.links = {-1, -1, -1, -1};
    b.flags = 0;
    b.phase = random(game, 500);
    b.hit_points = 10;
    return b;
}

Unit fresh_unit(Game& game) {
    Unit u;
    for (Building& slot : u.carry_slots) slot = fresh_building(game);
    return u;
}

Effect fresh_effect() { return Effect{}; }

Unit& append_unit(Game& game, const Unit& unit) {
    game.index.drop_units();
    game.units.push_back(std::make_unique<Unit>(unit));
    return *game.units.back();
}

Building& append_building(Game& game, const Building& building) {
    game.index.buildings_changed();
    game.buildings.push_back(std::make_unique<Building>(building));
    return *game.buildings.back();
}

Effect& append_effect(Game& game, const Effect& effect) {
    if (effect.kind == effect_acid_cloud || effect.kind == effect_poison_cloud) game.index.cloud_added(effect.x, effect.y);
    game.effects.push_back(std::make_unique<Effect>(effect));
    return *game.effects.back();
}

void forget_building(Game& game, const Building* building) {
    for (auto& u : game.units) {
        if (u->target_building == building) u->target_building = nullptr;
    }
}

void finalise_unit(Game& game, const Unit* unit) {
    for (auto& u : game.units) {
        if (u->target_unit == unit) u->target_unit = nullptr;
    }
    for (const Building& slot : unit->carry_slots) forget_building(game, &slot);
}

void remove_unit(Game& game, std::size_t index) {
    game.index.drop_units();
    finalise_unit(game, game.units[index].get());
    game.units.erase(game.units.begin() + static_cast<std::ptrdiff_t>(index));
}

void remove_fallen_units(Game& game) {
    const auto fallen = [](const Unit& u) { return u.hit_points <= 0 && u.kind != unit_player; };
    // Where the carry slots of the fallen lie, for the rare target that is a carried building.
    using Address = std::uintptr_t;
    std::vector<std::pair<Address, Address>> slots;
    for (const auto& u : game.units) {
        if (!fallen(*u)) continue;
        const auto first = reinterpret_cast<Address>(u->carry_slots.data());
        slots.emplace_back(first, first + sizeof u->carry_slots);
    }
    if (slots.empty()) return;
    std::sort(slots.begin(), slots.end());
    game.index.drop_units();
    for (auto& u : game.units) {
        // Every target is a unit still in the list, so it can be asked whether it falls.
        if (u->target_unit != nullptr && fallen(*u->target_unit)) u->target_unit = nullptr;
        if (u->target_building != nullptr) {
            const auto b = reinterpret_cast<Address>(u->target_building);
            const auto after = std::upper_bound(slots.begin(), slots.end(), std::make_pair(b, ~Address{0}));
            if (after != slots.begin() && b < std::prev(after)->second) u->target_building = nullptr;
        }
    }
    std::erase_if(game.units, [&](const std::unique_ptr<Unit>& u) { return fallen(*u); });
}

void remove_building(Game& game, std::size_t index) {
    game.index.buildings_changed();
    forget_building(game, game.buildings[index].get());
    // The node menu remembers its node by index: keep it on that node as the list closes up,
    // and close it when the node itself goes, rather than let it slide onto a neighbour.
    if (game.open_menu == 0) {
        const auto menu = static_cast<std::size_t>(game.menu_building);
        if (index == menu) game.open_menu = -1;
        if (index < menu) --game.menu_building;
    }
    game.buildings.erase(game.buildings.begin() + static_cast<std::ptrdiff_t>(index));
}

void remove_effect(Game& game, std::size_t index) {
    const Effect& e = *game.effects[index];
    if (e.kind == effect_acid_cloud || e.kind == effect_poison_cloud) game.index.cloud_removed(e.x, e.y);
    game.effects.erase(game.effects.begin() + static_cast<std::ptrdiff_t>(index));
}

void clear_units(Game& game) {
    for (std::size_t i = game.units.size(); i-- > 0;) remove_unit(game, i);
}

void clear_buildings(Game& game) {
    for (std::size_t i = game.buildings.size(); i-- > 0;) remove_building(game, i);
}

void clear_effects(Game& game) {
    game.index.drop_clouds();
    game.effects.clear();
}

int find_building_at(const Game& game, int x, int y) {
    if (!game.plain_scans && game.index.buildings_usable(game)) {
        static thread_local std::vector<int> here;
        game.index.buildings_at(game, x, y, here);
        return here.empty() ? -1 : here.front();
    }
    for (std::size_t i = 0; i < game.buildings.size(); ++i) {
        if (game.buildings[i]->x == x && game.buildings[i]->y == y) return static_cast<int>(i);
    }
    return -1;
}

int unit_index(const Game& game, const Unit* unit) {
    for (std::size_t i = 0; i < game.units.size(); ++i) {
        if (game.units[i].get() == unit) return static_cast<int>(i);
    }
    return -1;
}

int building_index(const Game& game, const Building* building) {
    for (std::size_t i = 0; i < game.buildings.size(); ++i) {
        if (game.buildings[i].get() == building) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace qm
