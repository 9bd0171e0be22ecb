// Frame pacing: a real-time frame lasts at least 10 ms on the terminal's clock.
#pragma once

#include <cstdint>

#include "console/terminal.h"

namespace qm {

constexpr std::uint32_t frame_ms = 10;

inline void frame_begin(Terminal& terminal, std::uint32_t& frame_start) {
    frame_start = terminal.tick_ms();
}

// Sleeps out the rest of the frame. A clock that wrapped past zero since frame start ends
// the wait at once, as does a frame that already took 10 ms or more.
void frame_end(Terminal& terminal, std::uint32_t frame_start);

}  // namespace qm
