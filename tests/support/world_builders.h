// Small worlds built by hand for the tests, and seeds chosen so that
// a given draw comes out as a test needs it. Nothing here draws from the game's generator.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "console/random.h"
#include "world/lists.h"

namespace qm::test {

// A unit of the kind on (x, y), every other field fresh.
inline Unit unit_at(int kind, int x, int y, int faction = 0) {
    Unit u(kind);
    u.x = x, u.y = y, u.faction = faction;
    return u;
}

// Phase 1 never matches frame_counter 0 for any period (at least 5): such a unit sits still
// in a unit update at frame 0 unless a test gives it phase 0.
inline Unit& put_unit(Game& g, int kind, int faction, int x, int y, int hit_points = 20, int phase = 1) {
    Unit u(kind);
    u.faction = faction, u.x = x, u.y = y, u.phase = phase;
    u.hit_points = u.max_hit_points = hit_points;
    return append_unit(g, u);
}

inline Building& put_building(Game& g, int kind, int faction, int x, int y) {
    Building b;
    b.kind = kind, b.faction = faction, b.x = x, b.y = y;
    return append_building(g, b);
}

inline Effect& put_effect(Game& g, int kind, int faction, int x, int y, int life, int vx = 0, int vy = 0) {
    Effect e = fresh_effect();
    e.kind = kind, e.faction = faction, e.x = x, e.y = y, e.life = life, e.vx = vx, e.vy = vy;
    return append_effect(g, e);
}

// The nth seed (counted from 0) whose first random(n) gives value.
inline std::uint32_t seed_giving(int n, int value, std::uint32_t nth = 0) {
    for (std::uint32_t seed = 1;; ++seed) {
        std::uint32_t s = seed;
        if (random_below(s, n) == value && nth-- == 0) return seed;
    }
}

// A seed on the very edge of a one-in-n chance: its draw comes out 0 for random(n) but not
// for random(n + 1), so that n is told from its neighbours. The draws before it, of the sizes
// given, come out anything but 0.
inline std::uint32_t seed_on_edge(int n, std::initializer_list<int> before = {}) {
    for (std::uint32_t seed = 1;; ++seed) {
        std::uint32_t s = seed;
        bool none_zero = true;
        for (int m : before) none_zero = random_below(s, m) != 0 && none_zero;
        std::uint32_t t = s;
        if (none_zero && random_below(s, n) == 0 && random_below(t, n + 1) != 0) return seed;
    }
}

// Seeds spread over the generator's range: small ones all give a low first draw.
inline std::uint32_t spread_seed(std::uint32_t i) { return i * 0x9E3779B1u & 0x7FFFFFFFu; }

}  // namespace qm::test
