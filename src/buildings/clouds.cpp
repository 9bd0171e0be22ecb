#include "buildings/clouds.h"

#include <vector>

#include "units/combat.h"
#include "world/lists.h"

namespace qm {

namespace {

constexpr int cloud_poison_dose = 3;

// Fliers are above the clouds; only ground units of the other side breathe them.
bool breathes_cloud_of(int side, int kind) {
    if (side != 0) {
        return kind == unit_player || kind == unit_citizen || kind == unit_own_soldier ||
               kind == unit_own_general;
    }
    return kind == unit_ooze || kind == unit_enemy_soldier || kind == unit_enemy_general ||
           kind == unit_boss;
}

void release_cloud(Game& game, int kind, int x, int y, int side, int life) {
    if (!game.index.no_cloud_at(x, y)) {
        for (const auto& e : game.effects) {
            if (e->kind == kind && e->faction == side && e->x == x && e->y == y) return;
        }
    }
    Effect cloud = fresh_effect();
    cloud.kind = kind;
    cloud.faction = side;
    cloud.x = x;
    cloud.y = y;
    cloud.life = life;
    append_effect(game, cloud);

    auto breathe = [&](Unit& u) {
        if (!breathes_cloud_of(side, u.kind)) return;
        if (kind == effect_acid_cloud) {
            damage(game, u, 1, power_conjuring);
        } else {
            u.poison += cloud_poison_dose;
        }
    };
    // Damage never removes a unit, so the units on the cell stay as they are while they breathe.
    for (Unit* u : game.index.units_at(x, y)) breathe(*u);
}

}  // namespace

void release_acid_cloud(Game& game, int x, int y, int side, int life) {
    release_cloud(game, effect_acid_cloud, x, y, side, life);
}

void release_poison_cloud(Game& game, int x, int y, int side, int life) {
    release_cloud(game, effect_poison_cloud, x, y, side, life);
}

}  // namespace qm
