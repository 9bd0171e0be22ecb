// The one game-wide generator. Every draw goes through random(n); the order of draws is part
// of every algorithm, so one seed replays one game.
#pragma once

#include <cstdint>

namespace qm {

inline std::uint32_t random_step(std::uint32_t& seed) {
    seed = (seed * 907725u + 99979777u) & 0x7FFFFFFFu;
    return seed;
}

// 0..n-1 for n >= 1; 0 for n <= 0. Always advances the seed.
inline int random_below(std::uint32_t& seed, int n) {
    const std::uint32_t s = random_step(seed);
    if (n <= 0) return 0;
    return static_cast<int>(static_cast<double>(s) * (1.0 / 2147483648.0) * static_cast<double>(n));
}

}  // namespace qm
