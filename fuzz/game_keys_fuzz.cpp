// The whole game, from the title on, fed key codes of every value an int can hold, as the
// curses read returns them. The first four bytes set the clock (and so the seed); every four
// after them are one key read. When they run out ESC is pressed until the game has ended.
// Between screens the soak's invariants are checked: a broken one aborts, as a crash would.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "console/startup.h"
#include "fuzz_scratch.h"
#include "soak/soak.h"

namespace {

class FuzzTerminal final : public qm::Terminal {
public:
    FuzzTerminal(qm::Game& game, const std::uint8_t* data, std::size_t size) : game_(game), data_(data), size_(size) {
        if (size_ >= 4) std::memcpy(&clock_, data_, 4);
        at_ = 4;
        checker_.map_period = 32;
    }

    void present(const qm::ScreenBuffer&) override {
        clock_ += 3;
        if (const std::string broken = checker_.check(game_); !broken.empty()) {
            std::fprintf(stderr, "invariant broken: %s\n", broken.c_str());
            std::abort();
        }
    }
    int read_key() override {
        if (at_ + 4 > size_) return qm::key_escape;
        std::int32_t key = 0;
        std::memcpy(&key, data_ + at_, 4);
        at_ += 4;
        return key;
    }
    std::uint32_t tick_ms() override { return clock_; }
    void wait_until(std::uint32_t tick) override {
        if (static_cast<std::int32_t>(tick - clock_) > 0) clock_ = tick;
    }
    void set_realtime_input(bool) override {}

private:
    qm::Game& game_;
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
    std::uint32_t clock_ = 0;
    qm::soak::InvariantChecker checker_;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qm::fuzz::make_scratch_directory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto game = std::make_unique<qm::Game>();
    game->score_directory = qm::fuzz::scratch_directory().string();
    FuzzTerminal terminal(*game, data, size);
    qm::run_game(*game, terminal);
    return 0;
}
