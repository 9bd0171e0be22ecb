// The eight neighbours, numbered as the carry slots are.
#pragma once

#include <array>

namespace qm {

struct Offset {
    int dx, dy;
};

constexpr std::array<Offset, 8> direction_offsets{{
    {+1, +1}, {+1, 0}, {+1, -1}, {0, +1}, {0, -1}, {-1, +1}, {-1, 0}, {-1, -1},
}};

constexpr Offset direction_offset(int index) { return direction_offsets[index]; }

// The inverse of direction_offset; any other pair yields dy, so (0, 0) gives 0 and a pair
// such as (0, -2) gives -2; a caller treats -1 as "no direction".
constexpr int direction_of(int dx, int dy) {
    for (int i = 0; i < 8; ++i) {
        if (direction_offsets[i].dx == dx && direction_offsets[i].dy == dy) return i;
    }
    return dy;
}

}  // namespace qm
