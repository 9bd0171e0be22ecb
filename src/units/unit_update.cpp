#include "units/unit_update.h"

#include "buildings/clouds.h"
#include "units/combat.h"
#include "units/death_sweep.h"
#include "units/flier_behaviour.h"
#include "units/ground_behaviour.h"
#include "units/pathing.h"

namespace qm {

namespace {

constexpr int shortest_period = 5;
constexpr int hasted_period = 5;
constexpr int aura_reach = 10;
constexpr int aura_timer = 10;
constexpr int haste_timer = 10;
constexpr int conjured_cloud_life = 100;

// Fliers are out of every aura's reach; the player unit is never slowed or confused.
constexpr KindSet hostile_ground = kind_set({unit_ooze, unit_enemy_soldier, unit_enemy_general, unit_boss});
constexpr KindSet own_ground_but_player = kind_set({unit_citizen, unit_own_soldier, unit_own_general});
constexpr KindSet own_ground = kind_set({unit_player, unit_citizen, unit_own_soldier, unit_own_general});

// Only fighters have powers, so of the actors only kinds 4, 5 and 9 are on the hostile side.
bool hostile_actor(const Unit& unit) {
    return unit.kind == unit_enemy_soldier || unit.kind == unit_enemy_general || unit.kind == unit_boss;
}

bool within_aura(const Unit& actor, const Unit& other) { return distance(actor, other) < aura_reach; }

void raise_timer(std::int32_t& timer, int value) {
    if (timer < value) timer = value;
}

void wear_timers(Game& game, Unit& unit) {
    if (unit.haste > 0) {
        --unit.haste;
    } else if (chance(game, stat(game, unit, power_haste))) {
        raise_timer(unit.haste, haste_timer);
    }
    // Crush, the slowing aura and slowing bolts only ever raise slow; left alone it would
    // halve a unit's pace for good. It wears off like haste, one acting frame at a time,
    // confused frames included, after this frame's period has been read. The player unit is
    // never walked, so its slow stays put, but nothing reads it there.
    if (unit.slow > 0) --unit.slow;
}

void auras_and_conjuring(Game& game, Unit& actor) {
    const bool hostile = hostile_actor(actor);
    const KindSet opposing_ground = hostile ? own_ground_but_player : hostile_ground;
    const KindSet harmed = hostile ? own_ground : hostile_ground;
    const KindSet healed = hostile ? hostile_ground : own_ground;

    if (chance(game, stat(game, actor, power_slowing))) {
        for (auto& u : game.units) {
            if (in_kind_set(opposing_ground, u->kind) && within_aura(actor, *u)) raise_timer(u->slow, aura_timer);
        }
    }
    if (chance(game, stat(game, actor, power_confusing))) {
        for (auto& u : game.units) {
            if (in_kind_set(opposing_ground, u->kind) && within_aura(actor, *u)) raise_timer(u->confusion, aura_timer);
        }
    }
    if (chance(game, stat(game, actor, power_conjuring))) {
        const int a = random(game, 7) - 3;
        const int b = random(game, 7) - 3;
        release_acid_cloud(game, actor.x + b, actor.y + a, hostile ? 1 : 0, conjured_cloud_life);
    }
    if (chance(game, stat(game, actor, power_healing))) {
        for (auto& u : game.units) {
            if (u.get() == &actor || !in_kind_set(healed, u->kind)) continue;
            if (u->hit_points < u->max_hit_points && within_aura(actor, *u)) ++u->hit_points;
        }
    }
    if (chance(game, stat(game, actor, power_harm))) {
        for (auto& u : game.units) {
            if (in_kind_set(harmed, u->kind) && within_aura(actor, *u)) damage(game, *u, 1, power_harm);
        }
    }
}

void act(Game& game, int i) {
    Unit& unit = *game.units[i];
    if (!acts_this_frame(game, unit)) return;

    wear_timers(game, unit);
    // A confused unit only staggers about.
    if (unit.confusion > 0) {
        --unit.confusion;
        move_by(game, i, wander_step(game));
        return;
    }
    if (unit.poison > 0 && random(game, 10) == 0) {
        --unit.poison;
        if (random(game, 4) == 0) --unit.hit_points;
    }
    if (chance(game, stat(game, unit, power_regeneration)) && unit.hit_points < unit.max_hit_points) {
        ++unit.hit_points;
    }
    auras_and_conjuring(game, unit);

    if (is_flier_kind(unit.kind)) {
        flier_behaviour(game, i);
    } else {
        ground_behaviour(game, i);
    }
}

}  // namespace

int base_period(const Unit& unit) {
    switch (unit.kind) {
        case unit_ooze: return (unit.flags & unit_swift) ? 15 : 100;
        case unit_citizen: return 100;
        case unit_own_soldier:
        case unit_enemy_soldier:
        case unit_own_general: return 25;
        case unit_enemy_general:
        case unit_boss: return 50;
        case unit_enemy_flier:
        case unit_own_flier: return 5;
        default: return 100;
    }
}

int acting_period(const Game& game, const Unit& unit) {
    int period = base_period(unit) - stat(game, unit, power_speed);
    if (unit.slow > 0 && unit.haste == 0) {
        period *= 2;
    } else if (unit.haste > 0 && unit.slow == 0) {
        period = hasted_period;
    }
    return period < shortest_period ? shortest_period : period;
}

bool acts_this_frame(const Game& game, const Unit& unit) {
    const int period = acting_period(game, unit);
    return unit.phase % period == game.frame_counter % period;
}

void unit_update(Game& game) {
    // Nobody is removed during the walk; a unit brought to 0 hit points keeps acting until the
    // sweep, and one appended meanwhile waits for the next frame.
    const int n = static_cast<int>(game.units.size());
    for (int i = n - 1; i >= 1; --i) act(game, i);
    death_sweep(game);
}

}  // namespace qm
