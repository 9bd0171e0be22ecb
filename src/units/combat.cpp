#include "units/combat.h"

namespace qm {

int stat(const Game& game, const Unit& unit, int k) {
    if (!is_fighter_kind(unit.kind)) return 0;
    int base = unit.faction == k ? 3 : 0;
    for (int link : unit.links) {
        if (link == k) ++base;
    }
    if ((unit.kind == unit_own_soldier || unit.kind == unit_own_general) && !game.units.empty()) {
        base += game.units[0]->skill_levels[k];
    }
    switch (unit.kind) {
        case unit_enemy_general:
        case unit_own_general: return base * 2;
        case unit_boss: return base * ((unit.flags & unit_megaboss) ? 5 : 3);
        default: return base;
    }
}

int blow_strength(int kind) {
    if (kind == unit_own_general || kind == unit_enemy_general) return 5;
    if (kind == unit_boss) return 15;
    return 1;
}

bool chance(Game& game, int percent) { return random(game, 100) < percent; }

void attack(Game& game, Unit& attacker, Unit& defender) {
    if (chance(game, stat(game, attacker, power_drain))) {
        attacker.hit_points += random(game, 3) + 1;
        if (attacker.hit_points > attacker.max_hit_points) attacker.hit_points = attacker.max_hit_points;
    }
    if (chance(game, stat(game, attacker, power_poison))) defender.poison += 3;
    if (chance(game, stat(game, attacker, power_crush))) {
        if (defender.slow < 10) defender.slow = 10;
    }
    damage(game, defender, blow_strength(attacker.kind), attacker.faction);
    // Thorns and shock answer even a dodged blow, and even from a defender already at 0.
    if (chance(game, stat(game, defender, power_thorns))) damage(game, attacker, 2, power_thorns);
    if (random(game, 50) < stat(game, defender, power_shock)) damage(game, attacker, 1, power_thorns);
}

void damage(Game& game, Unit& unit, int amount, int type) {
    if (unit.kind == unit_ooze && type == unit.faction && random(game, 2) != 0) return;
    if (chance(game, stat(game, unit, power_dodge))) return;
    if (unit.kind == unit_player) {
        if (type == unit.affinity && random(game, 2) != 0) return;
        for (int link : unit.links) {
            if (link == type && random(game, 4) == 0) amount /= 2;
        }
    }
    unit.hit_points -= amount;
}

void damage_building(Game& game, Building& building, int amount, int type) {
    if (type == building.faction && random(game, 2) != 0) return;
    for (int link : building.links) {
        if (link == type && random(game, 4) == 0) amount /= 2;
    }
    building.hit_points -= amount;
}

void finish(Game& game, Unit& unit) {
    const int toughness = stat(game, unit, power_toughness);
    unit.hit_points += (unit.kind == unit_boss && (unit.flags & unit_megaboss)) ? 20 * toughness : toughness;
    unit.max_hit_points = unit.hit_points;
    if (stat(game, unit, power_marksmanship) > 0) unit.ammo = 1;
}

}  // namespace qm
