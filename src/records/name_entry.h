// The new record holder's name: asked for once at the end of a game that beat a record, and
// written as the holder of every record it beat.
#pragma once

#include "world/game.h"

namespace qm {

// A name holds at most this many characters.
constexpr int name_length_limit = 14;
static_assert(name_length_limit < holder_name_size, "a holder name keeps room for its NUL");

// True when the game just played beat at least one record (strictly, unsigned).
bool record_beaten(const Game& game);

// Asks for the name until Enter, then makes it the holder of every beaten record. Returns
// true when the player pressed ESC instead: nothing is written and the game is to end.
bool enter_name(Game& game);

}  // namespace qm
