// World builders for the building and effect tests, and a way to steer the generator: a seed
// whose next random(n) gives a chosen value.
#pragma once

#include <cstdint>

#include "console/random.h"
#include "world/lists.h"

namespace qm::test {

inline Unit& put_unit(Game& g, int kind, int faction, int x, int y, int hit_points = 5) {
    Unit u = fresh_unit(g);
    u.kind = kind;
    u.faction = faction;
    u.x = x;
    u.y = y;
    u.hit_points = u.max_hit_points = hit_points;
    return append_unit(g, u);
}

inline Building& put_building(Game& g, int kind, int faction, int x, int y) {
    Building b = fresh_building(g);
    b.kind = kind;
    b.faction = faction;
    b.x = x;
    b.y = y;
    return append_building(g, b);
}

inline Effect& put_effect(Game& g, int kind, int faction, int x, int y, int life, int vx = 0, int vy = 0) {
    Effect e = fresh_effect();
    e.kind = kind;
    e.faction = faction;
    e.x = x;
    e.y = y;
    e.life = life;
    e.vx = vx;
    e.vy = vy;
    return append_effect(g, e);
}

// The nth seed whose next random(n) gives value; 0 when there is none that far on.
inline std::uint32_t seed_giving(int n, int value, std::uint32_t nth = 0) {
    // Undo one step of the generator: 907725 is odd, so it is invertible modulo 2^31.
    std::uint32_t inverse = 907725u;
    for (int i = 0; i < 5; ++i) inverse *= 2u - 907725u * inverse;
    const auto before = [&](std::uint32_t state) { return ((state - 99979777u) * inverse) & 0x7FFFFFFFu; };
    const auto low = static_cast<std::uint64_t>(value) * 2147483648ull / static_cast<std::uint64_t>(n);
    for (auto s = static_cast<std::uint32_t>(low) + nth; s < 0x80000000u; ++s) {
        std::uint32_t seed = before(s);
        const int got = random_below(seed, n);
        if (got == value) return before(s);
        if (got > value) break;
    }
    return 0;
}

}  // namespace qm::test
