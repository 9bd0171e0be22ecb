#include "support/scripted_terminal.h"

#include <algorithm>

#include "console/keys.h"

namespace qm::test {

void ScriptedTerminal::present(const ScreenBuffer& screen) {
    last_ = screen;
    presented_.push_back(screen_text(screen));
}

int ScriptedTerminal::read_key() {
    const std::size_t current = presented_.empty() ? 0 : presented_.size() - 1;
    for (std::deque<int>* queue : {&scheduled_[current], &typed_}) {
        if (queue->empty()) continue;
        const int key = queue->front();
        queue->pop_front();
        return key;
    }
    // Keys still scheduled for later frames: nothing pressed in this one.
    const bool later = std::any_of(scheduled_.upper_bound(current), scheduled_.end(),
                                   [](const auto& frame) { return !frame.second.empty(); });
    return later || idle_++ < idle_frames_before_escape ? key_none : key_escape;
}

}  // namespace qm::test
