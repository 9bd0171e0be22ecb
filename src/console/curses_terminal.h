// The real terminal: ncursesw in the player's locale. The only place that knows about curses;
// the helpers below are its pure parts, open to tests without a terminal.
#pragma once

#include <cstdio>
#include <memory>
#include <vector>

#include "console/colour.h"
#include "console/terminal.h"

namespace qm {

// Opens the terminal (restored again on destruction, on SIGINT, SIGTERM and SIGHUP through the
// game's own quit path, and on fatal signals); nullptr when there is no terminal to open.
std::unique_ptr<Terminal> make_curses_terminal();
// The same on another terminal (a pseudo-terminal, say): output and input are its two ends as
// the program sees them, and TERM names its type.
std::unique_ptr<Terminal> make_curses_terminal(std::FILE* output, std::FILE* input);

// One colour pair as created in curses numbering.
struct CursesPair {
    int pair, fg, bg;
};
// The pairs to create. Without 16 colours they are the console's 63 pairs; with them, 64
// more (64 + fg * 8 + bg) whose foreground is the bright colour fg + 8.
std::vector<CursesPair> curses_pairs(bool sixteen_colours);
// The pair and boldness a cell is drawn with: bold stands in for bright only where the terminal
// has fewer than 16 colours, since many terminals do not brighten bold text.
ColourAttribute curses_attribute(int fg, int bg, int bright, bool sixteen_colours);

// True when no key can ever come from fd again: a hung-up or closed terminal, a pipe whose
// writer is gone, or input at its end (stdin from /dev/null or a file), which reads as ready
// forever and would keep a screen that waits for a key spinning.
bool input_ended(int fd);

// A key code from curses as the game reads it: the keypad, Home/End/PgUp/PgDn and the arrows
// in the console's key codes, backspace as 8, and 0 for anything the game has no key for (so an
// unknown function key never arrives as a letter or ESC by its low byte).
int console_key(int curses_key);

}  // namespace qm
