// The one seam between the game and a real or scripted terminal.
#pragma once

#include <cstdint>

#include "console/screen_buffer.h"

namespace qm {

class Terminal {
public:
    virtual ~Terminal() = default;
    // Show the 80 x 25 cells; called once per frame after drawing.
    virtual void present(const ScreenBuffer& screen) = 0;
    // One raw key code (curses numbering for special keys), 0 when none is waiting.
    virtual int read_key() = 0;
    // A 32-bit millisecond clock.
    virtual std::uint32_t tick_ms() = 0;
    // Sleep until the clock reads at least tick (or briefly, if it already does); never spin.
    virtual void wait_until(std::uint32_t tick) = 0;
    // Off: blocking reads (the title screen). On: non-blocking reads with keypad codes.
    virtual void set_realtime_input(bool on) = 0;
    // A terminal that has gone away (hang-up, a closed pseudo-terminal) or a signal that asks
    // the program to end makes read_key return ESC from then on, and present do nothing, so
    // every screen winds down the way the player's ESC would have it.
};

}  // namespace qm
