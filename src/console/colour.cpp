#include "console/colour.h"

namespace qm {

int colour_pair(int fg, int bg) {
    if (fg == 7 && bg == 0) return 0;
    if (fg == 0 && bg == 0) return 56;
    return fg * 8 + bg;
}

ColourAttribute colour_attribute(int fg, int bg, int bright) {
    return ColourAttribute{colour_pair(fg, bg), bright != 0};
}

PairTable colour_pairs() {
    PairTable table{};
    int n = 0;
    for (int fg = 0; fg < 8; ++fg) {
        for (int bg = 0; bg < 8; ++bg) {
            if (fg == 0 && bg == 0) {
                table.pairs[n++] = {56, 0, 0};
                continue;
            }
            if (fg == 7 && bg == 0) continue;  // drawn with pair 0
            table.pairs[n++] = {fg * 8 + bg, fg, bg};
        }
    }
    return table;
}

}  // namespace qm
