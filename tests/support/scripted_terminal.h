// A terminal for tests: keys scheduled per frame, a clock the test moves, every presented frame
// kept as text. A frame is one present(); the keys given for frame n are read after the n-th
// present. Once the script has run out, read_key returns ESC so every game winds down.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "console/terminal.h"

namespace qm::test {

class ScriptedTerminal final : public Terminal {
public:
    // Keys to read after the given present (0-based); several keys are read one per call.
    void keys_at(std::size_t frame, std::vector<int> keys) {
        scheduled_[frame].insert(scheduled_[frame].end(), keys.begin(), keys.end());
    }
    // Keys read one per call after the latest present, then after the following ones.
    void type(std::vector<int> keys) { typed_.insert(typed_.end(), keys.begin(), keys.end()); }
    // How many presents to wait before ESC is given once the script is empty.
    std::size_t idle_frames_before_escape = 0;
    // The clock moves only when the test sets it or the game waits (wait_until).
    std::uint32_t clock = 1000;
    bool realtime = false;

    void present(const ScreenBuffer& screen) override;
    int read_key() override;
    std::uint32_t tick_ms() override { return clock; }
    void wait_until(std::uint32_t tick) override { clock = static_cast<std::int32_t>(tick - clock) > 0 ? tick : clock; }
    void set_realtime_input(bool on) override { realtime = on; }

    std::size_t frames() const { return presented_.size(); }
    const std::string& frame_text(std::size_t i) const { return presented_[i]; }
    // Row r of the last presented frame.
    std::string last_row(int r) const { return row_text(last_, r); }
    const Cell& last_cell(int column, int row) const { return last_.at(column, row); }

private:
    std::vector<std::string> presented_;
    ScreenBuffer last_;
    std::map<std::size_t, std::deque<int>> scheduled_;
    std::deque<int> typed_;
    std::size_t idle_ = 0;
};

}  // namespace qm::test
