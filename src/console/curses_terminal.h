// The real terminal: ncursesw. The only place that knows about curses.
#pragma once

#include <memory>

#include "console/terminal.h"

namespace qm {

// Opens the terminal on construction and restores it on destruction.
std::unique_ptr<Terminal> make_curses_terminal();

}  // namespace qm
