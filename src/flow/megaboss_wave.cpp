#include "flow/megaboss_wave.h"

#include <algorithm>
#include <array>

#include "units/combat.h"
#include "world/lists.h"

namespace qm {
namespace {

constexpr int megaboss_base_hit_points = 100;
constexpr int megaboss_hit_points_per_defeat = 50;
constexpr int megaboss_hit_points_cap = 500;
constexpr int most_extra_groups = 10;

constexpr int soldier_hit_points = 3;
constexpr int general_hit_points = 10;
constexpr int boss_hit_points = 50;
constexpr int flier_hit_points = 3;
constexpr int ooze_hit_points = 3;

using WaveLinks = std::array<int, 4>;

struct GroupSize {
    int soldiers, generals, bosses, fliers, oozes;
};

void spawn_escort_unit(Game& game, int kind, int hit_points, const WaveLinks& wave_links, CellPosition at) {
    Unit u = fresh_unit(game, kind);
    u.faction = game.megaboss_type;
    if (kind == unit_ooze) u.flags |= unit_swift;
    // Each link is the wave's or the megaboss's own faction, so the escort shares its powers.
    for (std::size_t k = 0; k < u.links.size(); ++k) {
        u.links[k] = random(game, 2) != 0 ? wave_links[k] : game.megaboss_type;
    }
    u.x = at.x;
    u.y = at.y;
    u.phase = random(game, 500);
    u.hit_points = hit_points;
    if (is_fighter_kind(kind)) {
        finish(game, u);
    } else {
        u.max_hit_points = hit_points;
    }
    append_unit(game, u);
}

void spawn_group(Game& game, const GroupSize& size, const WaveLinks& wave_links, CellPosition at) {
    const struct {
        int count, kind, hit_points;
    } parts[] = {
        {size.soldiers, unit_enemy_soldier, soldier_hit_points}, {size.generals, unit_enemy_general, general_hit_points},
        {size.bosses, unit_boss, boss_hit_points},               {size.fliers, unit_enemy_flier, flier_hit_points},
        {size.oozes, unit_ooze, ooze_hit_points},
    };
    for (const auto& part : parts) {
        for (int i = 0; i < part.count; ++i) spawn_escort_unit(game, part.kind, part.hit_points, wave_links, at);
    }
}

}  // namespace

CellPosition edge_point(Game& game) {
    switch (random(game, 4)) {
        case 0: return {random(game, map_width), 1};
        case 1: return {random(game, map_width), map_height - 2};
        case 2: return {1, random(game, map_height)};
        default: return {map_width - 2, random(game, map_height)};
    }
}

void spawn_wave(Game& game) {
    const CellPosition at = edge_point(game);
    WaveLinks wave_links{};
    for (int& link : wave_links) link = random(game, 16);

    Unit boss = fresh_unit(game, unit_boss);
    boss.faction = game.megaboss_type;
    boss.links = wave_links;
    boss.x = at.x;
    boss.y = at.y;
    boss.phase = random(game, 500);
    boss.hit_points = std::min(megaboss_base_hit_points + megaboss_hit_points_per_defeat * game.megabosses_defeated,
                               megaboss_hit_points_cap);
    boss.flags |= unit_megaboss;
    finish(game, boss);
    append_unit(game, boss);

    // Drawn in this order, created in another: the order of draws is part of the replay.
    GroupSize escort{};
    escort.soldiers = random(game, 30) + 30;
    escort.fliers = random(game, 5) + 5;
    escort.oozes = random(game, 50) + 50;
    escort.generals = random(game, 7) + 7;
    escort.bosses = random(game, 3) + 3;
    spawn_group(game, escort, wave_links, at);

    const int extra_groups = std::min(game.megabosses_defeated, most_extra_groups);
    for (int g = 0; g < extra_groups; ++g) {
        const CellPosition extra_at = edge_point(game);
        GroupSize extra{};
        extra.soldiers = random(game, 10) + 10;
        extra.fliers = random(game, 3) + 3;
        extra.oozes = random(game, 10) + 10;
        extra.generals = random(game, 4) + 4;
        extra.bosses = random(game, 2) + 2;
        spawn_group(game, extra, wave_links, extra_at);
    }
}

void wave_step(Game& game) {
    if (game.wave_countdown == wave_idle) {
        // The banner shows from the next frame on.
        game.wave_countdown = wave_countdown_frames;
        return;
    }
    if (game.wave_countdown == wave_megaboss_present) return;
    if (--game.wave_countdown != 0) return;
    game.wave_countdown = wave_megaboss_present;
    spawn_wave(game);
}

}  // namespace qm
