#include "flow/defeat.h"

#include "records/name_entry.h"
#include "records/records_screen.h"
#include "records/score_file.h"
#include "world/lists.h"
#include "world/cycle_state.h"

namespace qm {
namespace {

// A question screen with no key waiting sleeps this long before it redraws.
constexpr std::uint32_t idle_pass_ms = 10;

void wait_for_next_pass(Game& game) { game.terminal->wait_until(game.terminal->tick_ms() + idle_pass_ms); }

// True for ESC, false once 'h' came.
bool defeat_notice(Game& game) {
    for (;;) {
        clear_screen(game.screen);
        set_colour(game.screen, 4, 0, 1);
        put_centred(game.screen, 11, "The citizens under your charge have all been slain.");
        put_centred(game.screen, 13, "Press H to continue.");
        flush_screen(game);
        const int key = read_normalised_key(game);
        if (key == key_escape) return true;
        if (key == 'h') return false;
        if (key == key_none) wait_for_next_pass(game);
    }
}

// True for ESC or 'n', false for 'y'.
bool replay_question(Game& game) {
    for (;;) {
        clear_screen(game.screen);
        set_colour(game.screen, 7, 0, 1);
        put_centred(game.screen, 11, "Don't stop now.  There are more bouncing commas in need of care!");
        put_centred(game.screen, 13, "Would you like to play again?  (Y - Yes, N or ESC - Quit)");
        flush_screen(game);
        const int key = read_normalised_key(game);
        if (key == key_escape || key == 'n') return true;
        if (key == 'y') return false;
        if (key == key_none) wait_for_next_pass(game);
    }
}

// The best values are read afresh, since another game may have saved since this one began. A
// name is asked for only when something was beaten, and ESC there ends the game unsaved.
// True when the player quit inside the sequence.
bool run_records_sequence(Game& game) {
    load_records(game);
    const bool beaten = record_beaten(game);
    if (beaten && enter_name(game)) return true;
    show_records(game);
    if (beaten) save_records(game);
    return false;
}

}  // namespace

bool defeat(Game& game) {
    if (defeat_notice(game)) return true;
    if (run_records_sequence(game)) return true;
    if (replay_question(game)) return true;
    reset_for_replay(game);
    return false;
}

void reset_for_replay(Game& game) {
    game.cycle_ooze.fill(0);
    game.ooze_store.fill(0);
    game.current_statistics = StatisticsBlock{};
    game.game_mode = 0;
    game.player_faction = 7;
    clear_units(game);
    clear_buildings(game);
    clear_effects(game);
    fill_map(game.map, open_ground);
    game.megabosses_defeated = 0;
    reset_cycle_state(game);
}

}  // namespace qm
