#include "records/name_entry.h"

#include <cstring>
#include <string>

#include "console/pacing.h"
#include "records/statistics.h"

namespace qm {
namespace {

constexpr int key_enter = '\n';
// Terminals in raw mode send a carriage return for Enter.
constexpr int key_return = '\r';
// Backspace comes as 8, or as DEL from most terminals. (Code 7 is Ctrl-G, not a backspace:
// the terminal already hands its backspace key over as 8.)
constexpr int key_backspace = 8;
constexpr int key_delete = 127;

constexpr const char* prompt = "You have bested an old record!  What is your name?";

bool types_a_character(int key) {
    return key == ' ' || (key >= '0' && key <= '9') || (key >= 'a' && key <= 'z');
}

void draw_entry(Game& game, const std::string& name) {
    clear_screen(game.screen);
    const int fg = random(game, 8);
    const int bright = random(game, 2);
    set_colour(game.screen, fg, 0, bright);
    put_centred(game.screen, 11, prompt);
    put_centred(game.screen, 13, name);
    flush_screen(game);
}

void name_beaten_records(Game& game, const std::string& name) {
    const StatisticsBlock& current = game.current_statistics;
    StatisticsBlock& record = game.record_statistics;
    for (int i = 0; i < counter_count; ++i) {
        if (current.counters[i] <= record.counters[i]) continue;
        // The name and its NUL only: bytes after it keep what an earlier name left there.
        std::memcpy(record.holders[i].data(), name.c_str(), name.size() + 1);
    }
}

}  // namespace

bool record_beaten(const Game& game) {
    return any_record_beaten(game.current_statistics, game.record_statistics);
}

bool enter_name(Game& game) {
    std::string name;
    for (;;) {
        draw_entry(game, name);
        const int key = read_normalised_key(game);
        if (key == key_none) {
            game.terminal->wait_until(game.terminal->tick_ms() + frame_ms);
        } else if (types_a_character(key)) {
            const char c = key >= 'a' && key <= 'z' ? static_cast<char>(key - 32) : static_cast<char>(key);
            // A full name keeps changing its last character.
            if (static_cast<int>(name.size()) == name_length_limit) name.pop_back();
            name.push_back(c);
        } else if (key == key_backspace || key == key_delete) {
            if (!name.empty()) name.pop_back();
        } else if (key == key_escape) {
            return true;
        } else if (key == key_enter || key == key_return) {
            break;
        }
    }
    name_beaten_records(game, name);
    return false;
}

}  // namespace qm
