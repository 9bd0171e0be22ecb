// Small worlds for the unit tests: a player unit first, then units and buildings placed by
// hand, and seeds chosen so that given draws come out as a test needs them.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "world/lists.h"

namespace qm::test {

// Never acts on frame 0 for any period of 5 or more: phase 1 never matches frame_counter 0.
constexpr int idle_phase = 1;

inline Unit& add_unit(Game& g, int kind, int x, int y, int faction = 0, int phase = idle_phase) {
    Unit u = fresh_unit(g);
    u.kind = kind;
    u.faction = faction;
    u.x = x;
    u.y = y;
    u.phase = phase;
    u.hit_points = u.max_hit_points = 20;
    return append_unit(g, u);
}

inline Building& add_building(Game& g, int kind, int x, int y, int faction = 0) {
    Building b = fresh_building(g);
    b.kind = kind;
    b.faction = faction;
    b.x = x;
    b.y = y;
    return append_building(g, b);
}

// A world with the player unit at (px, py), frame 0, open ground everywhere.
inline void start_world(Game& g, int px = 200, int py = 62) {
    g.seed = 1;
    g.open_min_x = 0;
    g.open_max_x = 320;
    g.open_min_y = 0;
    g.open_max_y = 100;
    add_unit(g, unit_player, px, py);
}

// One draw of the generator, counted from 0, and what its value must satisfy.
struct DrawRule {
    int position;
    int n;
    std::function<bool(int)> ok;
};

// The first seed from which the draws at the given positions come out as the rules ask.
// Every draw advances the generator by one step whatever its range, so only positions count.
inline std::uint32_t seed_where(const std::vector<DrawRule>& rules) {
    for (std::uint32_t seed = 1;; ++seed) {
        bool fits = true;
        for (const DrawRule& rule : rules) {
            std::uint32_t s = seed;
            for (int k = 0; k < rule.position; ++k) random_step(s);
            if (!rule.ok(random_below(s, rule.n))) {
                fits = false;
                break;
            }
        }
        if (fits) return seed;
    }
}

}  // namespace qm::test
