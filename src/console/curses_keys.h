// Reading keys through curses: the keypad in every form terminals send it, escape sequences the
// game has no key for read away whole, and a short ESC delay, since ESC is a key of its own here.
#pragma once

namespace qm {

// A key code from curses as the game reads it: the keypad, Home/End/PgUp/PgDn and the arrows
// in the console's key codes, backspace as 8, and 0 for anything the game has no key for (so an
// unknown function key never arrives as a letter or ESC by its low byte).
int console_key(int curses_key);

class KeyReader {
public:
    // Sets the keyboard up: no echo, keys as they are typed, the keypad's codes.
    KeyReader();

    // Off: reads wait a while for a key. On: they return at once.
    void set_realtime(bool on);
    bool realtime() const { return realtime_; }
    // While the game waits for a terminal large enough, every read waits a while.
    void wait_slowly(bool on);
    // One key from curses, ERR when none came; ESC only for the ESC key itself. Curses hands
    // over the ESC of an escape sequence it does not know (a shifted function key, an
    // Alt-modified key) and keeps the rest queued: that is read away here, and worth nothing.
    int take_key();

private:
    void use_delay(int ms);

    bool realtime_ = false;
    int delay_ms_ = 0;
};

}  // namespace qm
