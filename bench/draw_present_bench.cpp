// The map view of the full world drawn and presented through the real curses terminal into a
// pseudo-terminal, as a player's terminal would receive it. A reader thread drains the other
// end and counts the bytes; a marker written after each present (bytes that no curses output
// holds) tells it where one frame's output ends.
#include <benchmark/benchmark.h>

#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "bench_worlds.h"
#include "console/curses_terminal.h"
#include "flow/game_frame.h"
#include "flow/map_view.h"
#include "frame_timing.h"

namespace qm::bench {
namespace {

// 0xFF never occurs in UTF-8, and the escape sequences are plain ASCII.
constexpr unsigned char frame_marker[] = {0xFF, 0xFE, 0xFF, 0xFD};

class PtyCounter {
public:
    PtyCounter() {
        winsize size{};
        size.ws_row = screen_rows;
        size.ws_col = screen_columns;
        if (openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) {
            std::perror("openpty");
            std::abort();
        }
        reader_ = std::thread([this] { drain(); });
    }
    ~PtyCounter() {
        ::close(slave_);
        reader_.join();
        ::close(master_);
    }
    int slave() const { return slave_; }

    // Bytes the terminal received since the last call.
    long take_frame() {
        if (::write(slave_, frame_marker, sizeof frame_marker) != static_cast<ssize_t>(sizeof frame_marker)) std::abort();
        std::unique_lock lock(mutex_);
        seen_.wait(lock, [this] { return markers_ > markers_taken_; });
        ++markers_taken_;
        const long n = frames_.front();
        frames_.erase(frames_.begin());
        return n;
    }

private:
    void drain() {
        unsigned char buffer[65536];
        long count = 0;
        std::size_t matched = 0;
        for (;;) {
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0) return;  // the slave side closed
            for (ssize_t i = 0; i < n; ++i) {
                const unsigned char c = buffer[i];
                ++count;
                if (c == frame_marker[matched]) {
                    if (++matched == sizeof frame_marker) {
                        std::lock_guard lock(mutex_);
                        frames_.push_back(count - static_cast<long>(sizeof frame_marker));
                        ++markers_;
                        count = 0;
                        matched = 0;
                        seen_.notify_one();
                    }
                } else {
                    matched = c == frame_marker[0] ? 1 : 0;
                }
            }
        }
    }

    int master_ = -1, slave_ = -1;
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable seen_;
    std::vector<long> frames_;
    long markers_ = 0, markers_taken_ = 0;
};

// The curses terminal's present, with a clock that moves 10 ms a frame so that the
// animations run as at full speed, and the same in every run.
class PacedTerminal final : public Terminal {
public:
    explicit PacedTerminal(Terminal& screen) : screen_(screen) {}
    void present(const ScreenBuffer& buffer) override { screen_.present(buffer); }
    int read_key() override { return 0; }
    std::uint32_t tick_ms() override { return clock; }
    void wait_until(std::uint32_t tick) override { clock = tick; }
    void set_realtime_input(bool) override {}
    std::uint32_t clock = 1000;

private:
    Terminal& screen_;
};

int changed_cells(const ScreenBuffer& a, const ScreenBuffer& b) {
    int n = 0;
    for (std::size_t i = 0; i < a.cells.size(); ++i) n += !(a.cells[i] == b.cells[i]);
    return n;
}

void BM_draw_and_present_full(benchmark::State& state) {
    // A fixed terminal type and a UTF-8 locale, so that every run writes the same kind of bytes.
    ::setenv("TERM", "xterm-256color", 1);
    ::setenv("LC_ALL", "C.UTF-8", 1);
    PtyCounter pty;
    std::FILE* output = ::fdopen(::dup(pty.slave()), "w");
    std::FILE* input = ::fdopen(::dup(pty.slave()), "r");
    std::unique_ptr<Terminal> curses = make_curses_terminal(output, input);
    if (!curses) {
        state.SkipWithError("no curses terminal on the pseudo-terminal");
        return;
    }
    PacedTerminal terminal(*curses);
    pty.take_frame();  // whatever curses sent while it set the terminal up

    std::unique_ptr<Game> game;
    std::uint32_t seed = 0;
    int frames_left = 0;
    auto fresh = [&] {
        game = std::make_unique<Game>();
        ++seed;
        full_world(*game, terminal, seed, static_cast<int>(seed % 16));
        frames_left = 25;
    };
    fresh();

    FrameTimes times, unchanged_times;
    ScreenBuffer shown;
    bool first = true;
    long bytes = 0, cells = 0, first_bytes = 0, unchanged_bytes = 0, largest_unchanged = 0;
    long frames = 0;
    std::vector<double> frame_bytes;
    for (auto _ : state) {
        const double cpu = thread_cpu_us();
        const auto start = FrameTimes::Clock::now();
        draw_map_view(*game);
        flush_screen(*game);
        const auto took = FrameTimes::Clock::now() - start;
        times.add_cpu(thread_cpu_us() - cpu);
        state.SetIterationTime(std::chrono::duration<double>(took).count());
        times.add(took);

        const long sent = pty.take_frame();
        if (first) {
            first_bytes = sent;
            first = false;
        } else {
            bytes += sent;
            cells += changed_cells(shown, game->screen);
            frame_bytes.push_back(static_cast<double>(sent));
            ++frames;
        }
        shown = game->screen;

        // The same screen again: nothing has changed, so nothing should be sent.
        const auto again = FrameTimes::Clock::now();
        flush_screen(*game);
        unchanged_times.add(FrameTimes::Clock::now() - again);
        const long resent = pty.take_frame();
        unchanged_bytes += resent;
        largest_unchanged = std::max(largest_unchanged, resent);

        // The world moves on outside the timing.
        terminal.clock += 10;
        if (world_step(*game) != WorldOutcome::carry_on || --frames_left == 0) fresh();
        game->frame_counter = (game->frame_counter + 1) % 10000;
    }
    times.report(state);
    unchanged_times.report(state, "unchanged_");
    std::sort(frame_bytes.begin(), frame_bytes.end());
    state.counters["first_frame_bytes"] = static_cast<double>(first_bytes);
    state.counters["bytes_per_frame"] = frames > 0 ? static_cast<double>(bytes) / frames : 0.0;
    state.counters["bytes_median"] = frame_bytes.empty() ? 0.0 : frame_bytes[frame_bytes.size() / 2];
    state.counters["bytes_max"] = frame_bytes.empty() ? 0.0 : frame_bytes.back();
    state.counters["changed_cells_per_frame"] = frames > 0 ? static_cast<double>(cells) / frames : 0.0;
    state.counters["bytes_per_changed_cell"] = cells > 0 ? static_cast<double>(bytes) / cells : 0.0;
    state.counters["unchanged_bytes_max"] = static_cast<double>(largest_unchanged);
    state.counters["unchanged_bytes_total"] = static_cast<double>(unchanged_bytes);
    game.reset();
    curses.reset();
    std::fclose(output);
    std::fclose(input);
}

BENCHMARK(BM_draw_and_present_full)->Name("BM_draw_and_present/full")->UseManualTime()->Iterations(800)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qm::bench
