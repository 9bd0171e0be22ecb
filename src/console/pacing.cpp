#include "console/pacing.h"

namespace qm {

void frame_end(Terminal& terminal, std::uint32_t frame_start) {
    const std::uint32_t now = terminal.tick_ms();
    if (now < frame_start) return;  // the counter wrapped
    if (now - frame_start >= frame_ms) return;
    terminal.wait_until(frame_start + frame_ms);
}

}  // namespace qm
