// Making, appending and removing records. Removal runs the finalisers first, so no unit is
// left pointing at a record that is gone.
#pragma once

#include <cstddef>

#include "world/game.h"

namespace qm {

// A fresh record as its initialiser leaves it, a unit of the creator's kind. A unit's eight
// carry slots each get the building initialiser, so making a unit draws eight phases; a
// building draws one.
Unit fresh_unit(Game& game, int kind);
Building fresh_building(Game& game);
Effect fresh_effect();

// Each record is filed in the world index as it joins its list.
Unit& append_unit(Game& game, const Unit& unit);
Building& append_building(Game& game, const Building& building);
Effect& append_effect(Game& game, const Effect& effect);

// A unit in the list moves or turns into another kind only through these, so that the world
// index follows. Its faction is read where it stands and may change in place.
void place_unit(Game& game, Unit& unit, int x, int y);
void change_kind(Game& game, Unit& unit, int kind);
void change_kind(Game& game, Building& building, int kind);

// Clears every unit's target_building that points at this record.
void forget_building(Game& game, const Building* building);
// Clears every target_unit pointing at the unit, then forgets its carry slots.
void finalise_unit(Game& game, const Unit* unit);

void remove_unit(Game& game, std::size_t index);
// Every unit at 0 hit points or below but the player unit, as remove_unit would remove them
// one by one from the last: the same references cleared, the rest in the same order.
void remove_fallen_units(Game& game);
// Also keeps an open node menu on its node (or closes it when that node goes).
void remove_building(Game& game, std::size_t index);
void remove_effect(Game& game, std::size_t index);

// Every record finalised and freed; the lists keep their capacity.
void clear_units(Game& game);
void clear_buildings(Game& game);
void clear_effects(Game& game);

// Index of the first building standing on (x, y) in list order, or -1.
int find_building_at(const Game& game, int x, int y);
// Index of a record in its list, or -1 (none, or a record the list does not hold).
int unit_index(const Game& game, const Unit* unit);
int building_index(const Game& game, const Building* building);

}  // namespace qm
