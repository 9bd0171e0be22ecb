#include "console/startup.h"

#include "console/pacing.h"
#include "flow/game_frame.h"
#include "flow/sector_assignment.h"
#include "records/records_screen.h"
#include "records/score_file.h"
#include "world/cycle_state.h"

namespace qm {
namespace {

void draw_title(ScreenBuffer& screen) {
    clear_screen(screen);
    set_colour(screen, 7, 0, 1);
    put_centred(screen, 4, "Quillmire");
    put_centred(screen, 7, "Learn the rules as you go.");
    put_centred(screen, 11, "A game of nodes, ooze and sixteen hostile factions.");
    put_centred(screen, 12, "Written for the text console, one glyph at a time.");
    put_centred(screen, 13, "Keep your citizens alive.");
    put_centred(screen, 16,
                "Use the arrow keys/number pad to move.  Use Q,W,E,A,D,Z,X and C to interact.");
    put_centred(screen, 17, "Press S to look at your status.");
    put_centred(screen, 18, "Press H to look at your high scores now.");
    put_centred(screen, 20, "Press ESC at any time to quit.");
    put_centred(screen, 22, "Press any other key now to Play a Game.");
}

// The title waits for its key; a terminal that redraws until then would only show the same.
int title_key(Game& game) {
    for (;;) {
        const int key = read_key(game);
        if (key != key_none) return key;
        game.terminal->wait_until(game.terminal->tick_ms() + frame_ms);
    }
}

}  // namespace

void reset_game_state(Game& game) {
    game.cycle_ooze.fill(0);
    game.ooze_store.fill(0);
    game.game_mode = 0;
    game.player_faction = 7;
    game.megabosses_defeated = 0;
    reset_cycle_state(game);
}

int run_game(Game& game, Terminal& terminal) {
    game.terminal = &terminal;
    game.seed = terminal.tick_ms();
    set_clip(game.screen, 0, screen_columns - 1, 0, screen_rows - 1);

    draw_title(game.screen);
    flush_screen(game);
    const int key = title_key(game);
    if (key == key_escape) return 0;

    terminal.set_realtime_input(true);
    reset_game_state(game);
    if (key == 'h') {
        load_records(game);
        show_records(game);
    }

    for (;;) {
        const bool quit = game.game_mode == 0 ? sector_assignment_frame(game) : game_frame(game);
        if (quit) return 0;
    }
}

}  // namespace qm
