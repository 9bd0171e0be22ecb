#include "world/cycle_state.h"

namespace qm {

void reset_cycle_state(Game& game) {
    game.stage = 1;
    game.sweep_column = -1;
    game.frame_counter = 0;
    game.more_sectors = 1;
    game.open_menu = -1;
    game.megaboss_type = random(game, 16);
    game.wave_countdown = -1;
    game.bar_row = 0;
}

}  // namespace qm
