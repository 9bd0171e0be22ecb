#include "world/lists.h"

#include <algorithm>
#include <cstdint>
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

Unit fresh_unit(Game& game, int kind) {
    Unit u(kind);
    for (Building& slot : u.carry_slots) slot = fresh_building(game);
    return u;
}

Effect fresh_effect() { return Effect{}; }

Unit& append_unit(Game& game, const Unit& unit) {
    Unit& appended = *game.units.emplace_back(std::make_unique<Unit>(unit));
    game.index.file(appended);
    return appended;
}

Building& append_building(Game& game, const Building& building) {
    Building& appended = *game.buildings.emplace_back(std::make_unique<Building>(building));
    game.index.file(appended);
    return appended;
}

Effect& append_effect(Game& game, const Effect& effect) {
    if (is_cloud_kind(effect.kind)) game.index.cloud_added(effect.x, effect.y);
    return *game.effects.emplace_back(std::make_unique<Effect>(effect));
}

void place_unit(Game& game, Unit& unit, int x, int y) {
    unit.x = x;
    unit.y = y;
    game.index.refile(unit);
}

void change_kind(Game& game, Unit& unit, int kind) {
    unit.kind = kind;
    game.index.refile(unit);
}

void change_kind(Game& game, Building& building, int kind) {
    building.kind = kind;
    game.index.refile(building);
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
    game.index.unfile(*game.units[index]);
    finalise_unit(game, game.units[index].get());
    game.units.erase(game.units.begin() + static_cast<std::ptrdiff_t>(index));
}

void remove_fallen_units(Game& game) {
    const auto fallen = [](const Unit& u) { return u.hit_points <= 0 && u.kind != unit_player; };
    if (std::none_of(game.units.begin(), game.units.end(), [&](const auto& u) { return fallen(*u); })) return;
    // Targets are buildings of the list; one that is not is carried, and goes if its carrier falls.
    const auto carried_by_the_fallen = [&](const Building* b) {
        return std::any_of(game.units.begin(), game.units.end(), [&](const auto& u) {
            return fallen(*u) && std::any_of(u->carry_slots.begin(), u->carry_slots.end(),
                                             [&](const Building& slot) { return &slot == b; });
        });
    };
    for (auto& u : game.units) {
        // Every target is a unit still in the list, so it can be asked whether it falls.
        if (u->target_unit != nullptr && fallen(*u->target_unit)) u->target_unit = nullptr;
        const Building* b = u->target_building;
        if (b != nullptr && building_index(game, b) < 0 && carried_by_the_fallen(b)) u->target_building = nullptr;
    }
    std::erase_if(game.units, [&](const std::unique_ptr<Unit>& u) {
        if (!fallen(*u)) return false;
        game.index.unfile(*u);
        return true;
    });
}

void remove_building(Game& game, std::size_t index) {
    game.index.unfile(*game.buildings[index]);
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
    if (is_cloud_kind(e.kind)) game.index.cloud_removed(e.x, e.y);
    game.effects.erase(game.effects.begin() + static_cast<std::ptrdiff_t>(index));
}

void clear_units(Game& game) {
    for (std::size_t i = game.units.size(); i-- > 0;) remove_unit(game, i);
}

void clear_buildings(Game& game) {
    for (std::size_t i = game.buildings.size(); i-- > 0;) remove_building(game, i);
}

void clear_effects(Game& game) {
    game.index.clear_clouds();
    game.effects.clear();
}

int find_building_at(const Game& game, int x, int y) {
    const Building* b = game.index.first_building_at(x, y);
    return b == nullptr ? -1 : building_index(game, b);
}

namespace {

// The lists keep creation order, so a record is found by its serial in a few steps.
template <class Record>
int position_in(const std::vector<std::unique_ptr<Record>>& list, const Record* record) {
    if (record == nullptr) return -1;
    const auto it = std::lower_bound(list.begin(), list.end(), record->serial,
                                     [](const auto& r, std::uint64_t serial) { return r->serial < serial; });
    return it != list.end() && it->get() == record ? static_cast<int>(it - list.begin()) : -1;
}

}  // namespace

int unit_index(const Game& game, const Unit* unit) { return position_in(game.units, unit); }

int building_index(const Game& game, const Building* building) { return position_in(game.buildings, building); }

}  // namespace qm
