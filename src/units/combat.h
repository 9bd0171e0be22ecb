// Powers, melee blows and damage. A unit's strength in each of the sixteen powers is worked
// out on demand from its kind, faction, links and (for own fighters) the player's skills.
#pragma once

#include "world/game.h"

namespace qm {

enum Power : int {
    power_drain = 0,
    power_slowing = 1,
    power_poison = 2,
    power_haste = 3,
    power_thorns = 4,
    power_harm = 5,
    power_toughness = 6,
    power_marksmanship = 7,
    power_dodge = 8,
    power_crush = 9,
    power_regeneration = 10,
    power_speed = 11,
    power_confusing = 12,
    power_conjuring = 13,
    power_shock = 14,
    power_healing = 15,
};

// Kinds 3, 4, 5, 7 and 9 fight with powers; everyone else has none.
constexpr bool is_fighter_kind(int kind) {
    return kind == unit_own_soldier || kind == unit_enemy_soldier || kind == unit_enemy_general ||
           kind == unit_own_general || kind == unit_boss;
}

int stat(const Game& game, const Unit& unit, int k);
// Hit points a melee blow of this kind takes.
int blow_strength(int kind);
// A chance of percent %: one draw of random(100).
bool chance(Game& game, int percent);

void attack(Game& game, Unit& attacker, Unit& defender);
// No floor and no death here: the death sweeps remove units at 0 or below.
void damage(Game& game, Unit& unit, int amount, int type);
// The caller removes a building brought to 0 or below.
void damage_building(Game& game, Building& building, int amount, int type);
// Toughness hit points and the shooter flag for a new fighter, before it is appended.
void finish(Game& game, Unit& unit);

}  // namespace qm
