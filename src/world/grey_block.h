// Grey blocks: the walls that bolts and heavy units grind away, one shade per blow.
#pragma once

#include "world/map.h"

namespace qm {

// Green walls and walls of any other colour never give.
constexpr bool is_grey_block(const Cell& c) { return c.fg == 7 && is_wall_glyph(c.glyph); }

// 219, 178, 177, 176, then green floor; background and brightness stay as they were. Any
// other cell is left alone.
constexpr void wear_down(Cell& c) {
    switch (c.glyph) {
        case 219: c.glyph = 178; break;
        case 178: c.glyph = 177; break;
        case 177: c.glyph = 176; break;
        case 176:
            c.glyph = glyph_floor;
            c.fg = 2;
            break;
        default: break;
    }
}

}  // namespace qm
