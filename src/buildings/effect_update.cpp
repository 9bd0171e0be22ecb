#include "buildings/effect_update.h"

#include <algorithm>
#include <vector>

#include "buildings/clouds.h"
#include "records/statistics.h"
#include "units/combat.h"
#include "units/death_sweep.h"
#include "world/grey_block.h"
#include "world/lists.h"

namespace qm {

namespace {

constexpr std::size_t ooze_drop_ceiling = 1500;
constexpr int drop_rise_period = 10;
constexpr int bolt_step_period = 3;
constexpr int fire_spread_period = 10;
constexpr int chain_clone_life = 100;
constexpr int chain_generations = 10;
constexpr int cloud_release_life = 100;
// Bolts start with 100 life, so 99 marks their first step.
constexpr int first_step_life = 99;
constexpr int flame_clone_tries = 3;
constexpr int flame_clone_cost = 5;
// A cloud thins out below this and is gone.
constexpr int cloud_fade_life = 5;

int drop_life(Game& game) { return 30 + random(game, 30); }

bool is_own_unit_kind(int kind) { return !is_hostile_unit_kind(kind); }

// One cell along the velocity: the fractions run until they carry over on either axis.
// False when the effect has no velocity at all.
bool movement_step(Effect& e) {
    if (e.vx == 0 && e.vy == 0) return false;
    for (;;) {
        bool moved = false;
        e.frac_x += e.vx;
        e.frac_y += e.vy;
        if (e.frac_x >= 100) {
            e.frac_x -= 100;
            ++e.x;
            moved = true;
        }
        if (e.frac_x <= -100) {
            e.frac_x += 100;
            --e.x;
            moved = true;
        }
        if (e.frac_y >= 100) {
            e.frac_y -= 100;
            ++e.y;
            moved = true;
        }
        if (e.frac_y <= -100) {
            e.frac_y += 100;
            --e.y;
            return true;
        }
        if (moved) return true;
    }
}

bool another_bolt_on_cell(const Game& game, const Effect& bolt) {
    return std::any_of(game.effects.begin(), game.effects.end(), [&](const auto& e) {
        return e.get() != &bolt && e->kind == effect_bolt && e->faction == bolt.faction && e->x == bolt.x &&
               e->y == bolt.y;
    });
}

Effect clone_of(const Effect& bolt) {
    Effect c = fresh_effect();
    c.kind = effect_bolt;
    c.faction = bolt.faction;
    c.links = bolt.links;
    c.vx = bolt.vx;
    c.vy = bolt.vy;
    c.frac_x = bolt.frac_x;
    c.frac_y = bolt.frac_y;
    c.generation = bolt.generation + 1;
    return c;
}

void raise_to_at_least(std::int32_t& value, int floor) { value = std::max(value, floor); }

void heal(Unit& u, int amount) { u.hit_points = std::min(u.hit_points + amount, u.max_hit_points); }

// The powers that help one's own side: an own unit they pass through gets the boon and the
// bolt is spent, but goes on to hit whatever hostile unit shares the cell.
bool gives_boon(int power) {
    return power == power_haste || power == power_regeneration || power == power_speed || power == power_healing;
}

void give_boon(Unit& u, int power) {
    switch (power) {
        case power_haste: raise_to_at_least(u.haste, 10); break;
        case power_speed: raise_to_at_least(u.haste, 20); break;
        case power_regeneration: heal(u, 1); break;
        case power_healing: heal(u, 2); break;
        default: break;
    }
}

// The bolt's power decides what its hit does; false when the hit came to nothing.
bool bolt_hits(Game& game, Effect& bolt, Unit& u) {
    const int power = bolt.faction;
    int amount = 1;
    switch (power) {
        case power_drain:
            if (!game.units.empty()) heal(*game.units[0], 1);
            break;
        case power_slowing: raise_to_at_least(u.slow, 10); break;
        case power_poison: release_poison_cloud(game, bolt.x, bolt.y, 0, cloud_release_life); break;
        case power_harm:
            if (random(game, 5) != 0) return false;
            break;
        case power_toughness: amount = 5; break;
        case power_dodge:
        case power_speed:
        case power_healing: amount = 2; break;
        case power_crush:
            raise_to_at_least(u.slow, 20);
            amount = 2;
            break;
        case power_confusing: raise_to_at_least(u.confusion, 10); break;
        case power_conjuring: release_acid_cloud(game, bolt.x, bolt.y, 0, cloud_release_life); break;
        default: break;
    }
    // The bolt is spent into ooze of the unit it struck.
    bolt.kind = effect_ooze_drop;
    bolt.faction = u.faction;
    bolt.life = drop_life(game);
    damage(game, u, amount, power);
    return true;
}

void bolt_hit_test(Game& game, Effect& bolt) {
    if (on_map(bolt.x, bolt.y)) {
        Cell& c = map_cell(game, bolt.x, bolt.y);
        if (is_grey_block(c)) {
            wear_down(c);
            bolt.life = 0;
            return;
        }
    }
    // The player's own bolts never strike the player unit at index 0.
    auto strike = [&](Unit& u) {
        if (is_own_unit_kind(u.kind) && gives_boon(bolt.faction)) {
            give_boon(u, bolt.faction);
            bolt.life = 0;
            return false;
        }
        bolt_hits(game, bolt, u);
        return true;
    };
    // Units stand still through the effect update, and a hit appends no unit: those on the
    // cell stay the same for the whole walk, from the last in the list.
    const Unit* player = game.units.empty() ? nullptr : game.units.front().get();
    const auto here = game.index.units_at(bolt.x, bolt.y);
    for (std::size_t n = here.size(); n-- > 0;) {
        if (here[n] != player && strike(*here[n])) return;
    }
}

void flame_step(Game& game, Effect& bolt, int home_x, int home_y) {
    for (int i = 0; i < flame_clone_tries; ++i) {
        if (bolt.life <= flame_clone_cost) continue;
        if (random(game, 10) > bolt.generation) {
            near_clone(game, bolt);
            bolt.life = std::max(bolt.life - flame_clone_cost, 1);
        }
    }
    // A flame bolt stays where it was lit and burns what stands there once.
    bolt.x = home_x;
    bolt.y = home_y;
    const bool first = bolt.first_step != 0;
    bolt.first_step = 0;
    if (first) bolt_hit_test(game, bolt);
}

void bolt_turn(Game& game, std::size_t index) {
    Effect& bolt = *game.effects[index];
    --bolt.life;
    if (bolt.life % bolt_step_period != 0) return;
    const int home_x = bolt.x;
    const int home_y = bolt.y;
    if (movement_step(bolt)) {
        switch (bolt.faction) {
            case power_thorns: flame_step(game, bolt, home_x, home_y); break;
            case power_harm:
                if (random(game, 5) > bolt.generation) far_clone(game, bolt);
                bolt_hit_test(game, bolt);
                break;
            case power_shock: {
                const bool first = bolt.life == first_step_life;
                if (first && bolt.generation < chain_generations) chain_clone(game, bolt);
                if (random(game, 5) == 0) {
                    bolt_hit_test(game, bolt);
                } else {
                    bolt.x = home_x;
                    bolt.y = home_y;
                    if (first) bolt_hit_test(game, bolt);
                }
                break;
            }
            default: bolt_hit_test(game, bolt); break;
        }
    }
    if (bolt.life <= 0) remove_effect(game, index);
}

void tower_bolt_turn(Game& game, std::size_t index) {
    Effect& bolt = *game.effects[index];
    --bolt.life;
    if (bolt.life % 2 == 0 && movement_step(bolt)) {
        // The last hostile unit in the list on the cell; never the player unit at index 0.
        Unit* struck = nullptr;
        const auto here = game.index.units_at(bolt.x, bolt.y);
        for (std::size_t n = here.size(); n-- > 0 && struck == nullptr;) {
            if (here[n] != game.units.front().get() && is_hostile_unit_kind(here[n]->kind)) struck = here[n];
        }
        if (struck != nullptr) {
            bolt.life = 0;
            damage(game, *struck, 1, bolt.faction);
        }
    }
    if (bolt.life <= 0) remove_effect(game, index);
}

// A flier of the struck side may shrug a shot off: its own faction's shots half the time, and
// each link naming the shot's faction one time in four. Every roll is made.
bool flier_resists(Game& game, const Unit& flier, int shot_faction) {
    bool resisted = false;
    if (shot_faction == flier.faction && random(game, 2) != 0) resisted = true;
    for (int link : flier.links) {
        if (link == shot_faction && random(game, 4) == 0) resisted = true;
    }
    return resisted;
}

// The last unit in the list on the shot's cell that is of the side the shot is aimed at.
Unit* shot_victim(Game& game, const Effect& shot, bool hostile_shot) {
    const auto here = game.index.units_at(shot.x, shot.y);
    for (std::size_t n = here.size(); n-- > 0;) {
        if (is_hostile_unit_kind(here[n]->kind) != hostile_shot) return here[n];
    }
    return nullptr;
}

bool shot_hits_unit(Game& game, Effect& shot, bool hostile_shot) {
    Unit* u = shot_victim(game, shot, hostile_shot);
    if (u == nullptr) return false;
    shot.life = 0;
    if (!is_flier_kind(u->kind) || !flier_resists(game, *u, shot.faction)) damage(game, *u, 1, shot.faction);
    return true;
}

bool shot_target(const Building& b, bool hostile_shot) {
    return hostile_shot ? (b.kind == building_tower || b.kind == building_barricade)
                        : (b.kind == building_barracks || b.kind == building_airfield);
}

// The last building in the list on the shot's cell that the shot's side attacks.
Building* shot_building(Game& game, const Effect& shot, bool hostile_shot) {
    const auto here = game.index.buildings_at(shot.x, shot.y);
    for (std::size_t n = here.size(); n-- > 0;) {
        if (shot_target(*here[n], hostile_shot)) return here[n];
    }
    return nullptr;
}

void shot_hits_building(Game& game, Effect& shot, bool hostile_shot) {
    Building* b = shot_building(game, shot, hostile_shot);
    if (b == nullptr) return;
    shot.life = 0;
    damage_building(game, *b, 1, shot.faction);
    if (b->hit_points <= 0) {
        // Only the player's side razing a breeding ground is worth a record.
        if (!hostile_shot) record_razing(game, b->kind, b->faction);
        remove_building(game, static_cast<std::size_t>(building_index(game, b)));
    }
}

void shot_turn(Game& game, std::size_t index, bool hostile_shot) {
    Effect& shot = *game.effects[index];
    --shot.life;
    // Off the map a shot still flies and runs out, but there is nothing there to hit.
    if (shot.life % 2 == 0 && movement_step(shot) && on_map(shot.x, shot.y)) {
        if (!shot_hits_unit(game, shot, hostile_shot)) shot_hits_building(game, shot, hostile_shot);
    }
    if (shot.life <= 0) remove_effect(game, index);
}

void drop_turn(Game& game, std::size_t index) {
    Effect& drop = *game.effects[index];
    --drop.life;
    if (drop.life % drop_rise_period == 0) {
        --drop.y;
        drop.x += random(game, 3) - 1;
    }
    if (drop.life > 0) return;
    if (drop.faction >= 0 && drop.faction < 16) record_gathered(game, drop.faction);
    remove_effect(game, index);
}

void fire_turn(Game& game, std::size_t index) {
    Effect& fire = *game.effects[index];
    --fire.life;
    if (fire.life % fire_spread_period != 0) return;
    if (fire.life <= 0) {
        remove_effect(game, index);
        return;
    }
    Effect spark = fresh_effect();
    spark.kind = effect_fire;
    spark.x = fire.x + random(game, 3) - 1;
    spark.y = fire.y + random(game, 3) - 1;
    spark.life = fire.life / 2 + 1;
    append_effect(game, spark);
}

void cloud_turn(Game& game, std::size_t index) {
    Effect& cloud = *game.effects[index];
    if (random(game, 5) != 0) return;
    cloud.life -= 25 + random(game, 20);
    if (cloud.life <= cloud_fade_life) {
        remove_effect(game, index);
        return;
    }
    const int dy = random(game, 3) - 1;
    const int dx = random(game, 3) - 1;
    const int x = cloud.x + dx;
    const int y = cloud.y + dy;
    const int side = cloud.faction;
    const int life = cloud.life + 25;
    if (cloud.kind == effect_acid_cloud) {
        release_acid_cloud(game, x, y, side, life);
    } else {
        release_poison_cloud(game, x, y, side, life);
    }
}

}  // namespace

void release_ooze_drop(Game& game, int faction, int x, int y) {
    Effect drop = fresh_effect();
    drop.kind = effect_ooze_drop;
    drop.faction = faction;
    drop.x = x;
    drop.y = y;
    drop.life = drop_life(game);
    append_effect(game, drop);
}

bool room_for_ooze_drop(const Game& game) { return game.effects.size() <= ooze_drop_ceiling; }

void near_clone(Game& game, const Effect& bolt) {
    if (another_bolt_on_cell(game, bolt)) return;
    Effect c = clone_of(bolt);
    c.x = bolt.x + random(game, 3) - 1;
    c.y = bolt.y + random(game, 3) - 1;
    c.life = std::max(bolt.life, 1);
    append_effect(game, c);
}

void far_clone(Game& game, const Effect& bolt) {
    if (another_bolt_on_cell(game, bolt)) return;
    Effect c = clone_of(bolt);
    c.x = bolt.x + random(game, 9) - 4;
    c.y = bolt.y + random(game, 9) - 4;
    c.life = std::max(bolt.life - random(game, 50) - 5, 1);
    append_effect(game, c);
}

void chain_clone(Game& game, const Effect& bolt) {
    Effect c = clone_of(bolt);
    c.x = bolt.x + random(game, 3) - 1;
    c.y = bolt.y + random(game, 3) - 1;
    c.life = chain_clone_life;
    append_effect(game, c);
}

void effect_update(Game& game) {
    // Last to first: a removal never shifts an effect still to come, and whatever is appended
    // now waits for the next frame.
    for (std::size_t i = game.effects.size(); i-- > 0;) {
        switch (game.effects[i]->kind) {
            case effect_ooze_drop: drop_turn(game, i); break;
            case effect_bolt: bolt_turn(game, i); break;
            case effect_tower_bolt: tower_bolt_turn(game, i); break;
            case effect_hostile_shot: shot_turn(game, i, true); break;
            case effect_friendly_shot: shot_turn(game, i, false); break;
            case effect_fire: fire_turn(game, i); break;
            case effect_acid_cloud:
            case effect_poison_cloud: cloud_turn(game, i); break;
            default: break;
        }
    }
    death_sweep(game);
}

}  // namespace qm
