// Keys as the game sees them: the low byte of what the terminal read, 0 for nothing, then
// normalised so that arrows and the keypad look like the digit keys.
#pragma once

namespace qm {

constexpr int key_escape = 27;
constexpr int key_none = 0;

// Keeps the low byte of a raw terminal key code.
inline int key_low_byte(int raw) { return raw & 0xFF; }

// Letters to lower case, then the curses arrow and keypad low bytes to digits.
int normalise_key(int key);

}  // namespace qm
