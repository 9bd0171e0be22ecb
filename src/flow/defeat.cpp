#include "flow/defeat.h"

#include <string>

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

// True for ESC or 'n', false for 'y'. A save that failed is told below the question: the
// records stay in memory, but the next run will not have them.
bool replay_question(Game& game, const std::string& save_failure) {
    const std::string notice = ("Your records could not be saved: " + save_failure).substr(0, screen_columns);
    for (;;) {
        clear_screen(game.screen);
        set_colour(game.screen, 7, 0, 1);
        put_centred(game.screen, 11, "Don't stop now.  There are more bouncing commas in need of care!");
        put_centred(game.screen, 13, "Would you like to play again?  (Y - Yes, N or ESC - Quit)");
        if (!save_failure.empty()) {
            set_colour(game.screen, 4, 0, 1);
            put_centred(game.screen, 15, notice);
        }
        flush_screen(game);
        const int key = read_normalised_key(game);
        if (key == key_escape || key == 'n') return true;
        if (key == 'y') return false;
        if (key == key_none) wait_for_next_pass(game);
    }
}

// The best values are read afresh, since another game may have saved since this one began. A
// name is asked for only when something was beaten, and ESC there ends the game unsaved.
// True when the player quit inside the sequence; why the save failed, if it did, is kept for
// the replay question.
bool run_records_sequence(Game& game, std::string& save_failure) {
    load_records(game);
    const bool beaten = record_beaten(game);
    if (beaten && enter_name(game)) return true;
    show_records(game);
    if (beaten) save_failure = save_records(game);
    return false;
}

}  // namespace

bool defeat(Game& game) {
    if (defeat_notice(game)) return true;
    std::string save_failure;
    if (run_records_sequence(game, save_failure)) return true;
    if (replay_question(game, save_failure)) return true;
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
