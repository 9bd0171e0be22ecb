// The console colour model as curses sees it: which colour pair and attributes a cell needs.
// Colour numbers here are the console's (1 blue, 4 red); terminal_colour translates them.
#pragma once

#include <cstdint>

namespace qm {

// Pair for (fg, bg): 7 on 0 is pair 0 (the terminal's default), 0 on 0 is pair 56, every
// other combination fg * 8 + bg.
int colour_pair(int fg, int bg);

struct ColourAttribute {
    int pair;
    bool bold;
};
// Bright foreground is shown as bold.
ColourAttribute colour_attribute(int fg, int bg, int bright);

// The 63 pairs created at start-up, in creation order: pair number, fg, bg.
struct PairDefinition {
    int pair, fg, bg;
};
struct PairTable {
    PairDefinition pairs[63];
};
PairTable colour_pairs();

// A console colour as terminals (and curses) number it: red 1 and blue 4, cyan 6 and brown 3,
// so the console's 1, 3, 4, 6 swap places on the way out.
constexpr int terminal_colour(int console_colour) {
    constexpr int terminal_of[8] = {0, 4, 2, 6, 1, 5, 3, 7};
    return terminal_of[console_colour & 7];
}

}  // namespace qm
