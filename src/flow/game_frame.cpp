#include "flow/game_frame.h"

#include "console/pacing.h"

namespace qm {

bool game_frame(Game& game) {
    frame_begin(*game.terminal, game.frame_start);
    // The map view, the menus and the world step join this frame as they are built.
    clear_screen(game.screen);
    flush_screen(game);
    const int key = read_normalised_key(game);
    if (key == key_escape) return true;
    game.frame_counter = (game.frame_counter + 1) % 10000;
    frame_end(*game.terminal, game.frame_start);
    return false;
}

}  // namespace qm
