// The real terminal: ncursesw in the player's locale. Its three parts, each in a file of its
// own, are the only places that know about curses: restoring the terminal
// (curses_restore.h), reading keys (curses_keys.h) and drawing (curses_drawing.h).
#pragma once

#include <cstdio>
#include <memory>

#include "console/terminal.h"

namespace qm {

// Opens the terminal (restored again on destruction, on SIGINT, SIGTERM and SIGHUP through the
// game's own quit path, and on fatal signals); nullptr when there is no terminal to open.
std::unique_ptr<Terminal> make_curses_terminal();
// The same on another terminal (a pseudo-terminal, say): output and input are its two ends as
// the program sees them, and TERM names its type.
std::unique_ptr<Terminal> make_curses_terminal(std::FILE* output, std::FILE* input);

}  // namespace qm
