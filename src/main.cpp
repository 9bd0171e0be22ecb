#include "console/curses_terminal.h"
#include "console/startup.h"

int main() {
    auto game = std::make_unique<qm::Game>();
    auto terminal = qm::make_curses_terminal();
    qm::run_game(*game, *terminal);
    return 0;
}
