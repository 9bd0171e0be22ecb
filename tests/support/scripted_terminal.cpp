#include "support/scripted_terminal.h"

#include "console/keys.h"

namespace qm::test {

void ScriptedTerminal::keys_at(std::size_t frame, std::vector<int> keys) {
    auto& queue = scheduled_[frame];
    queue.insert(queue.end(), keys.begin(), keys.end());
}

void ScriptedTerminal::type(std::vector<int> keys) { typed_.insert(typed_.end(), keys.begin(), keys.end()); }

void ScriptedTerminal::present(const ScreenBuffer& screen) {
    last_ = screen;
    presented_.push_back(screen_text(screen));
}

int ScriptedTerminal::read_key() {
    const std::size_t current = presented_.empty() ? 0 : presented_.size() - 1;
    auto it = scheduled_.find(current);
    if (it != scheduled_.end() && !it->second.empty()) {
        const int key = it->second.front();
        it->second.pop_front();
        return key;
    }
    if (!typed_.empty()) {
        const int key = typed_.front();
        typed_.pop_front();
        return key;
    }
    // Keys still scheduled for later frames: nothing pressed in this one.
    for (const auto& [frame, queue] : scheduled_) {
        if (frame > current && !queue.empty()) return key_none;
    }
    if (idle_++ < idle_frames_before_escape) return key_none;
    return key_escape;
}

void ScriptedTerminal::wait_until(std::uint32_t tick) {
    if (static_cast<std::int32_t>(tick - clock) > 0) clock = tick;
}

std::string ScriptedTerminal::last_row(int r) const { return row_text(last_, r); }

}  // namespace qm::test
