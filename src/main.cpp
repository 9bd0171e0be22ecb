#include <cstdio>

#include "console/curses_terminal.h"
#include "console/startup.h"

int main() {
    auto game = std::make_unique<qm::Game>();
    auto terminal = qm::make_curses_terminal();
    if (!terminal) {
        std::fputs("quillmire: cannot open the terminal (is TERM set?)\n", stderr);
        return 1;
    }
    return qm::run_game(*game, *terminal);
}
