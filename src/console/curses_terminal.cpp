#include "console/curses_terminal.h"

#include <cerrno>
#include <clocale>
#include <cstring>
#include <ctime>

#include <langinfo.h>

#include <curses.h>

#include "console/curses_drawing.h"
#include "console/curses_keys.h"
#include "console/curses_restore.h"
#include "console/keys.h"

namespace qm {
namespace {

bool locale_is_utf8() {
    const char* codeset = nl_langinfo(CODESET);
    return codeset != nullptr && std::strcmp(codeset, "UTF-8") == 0;
}

class CursesTerminal final : public Terminal {
public:
    // The parts set the terminal up in the order of their members; the signals are taken last.
    CursesTerminal(SCREEN* screen, bool utf8, int input_fd, int output_fd)
        : screen_(screen), input_fd_(input_fd), drawing_(utf8, output_fd) {
        drawing_.start();
        restorer_.install(output_fd, drawing_.pen_reset());
    }

    ~CursesTerminal() override {
        restorer_.uninstall();
        if (restorer_.curses_active()) {
            drawing_.hand_screen_to_curses();
            restorer_.end_curses();
        }
        delscreen(screen_);
    }

    CursesTerminal(const CursesTerminal&) = delete;
    CursesTerminal& operator=(const CursesTerminal&) = delete;

    void present(const ScreenBuffer& screen) override {
        if (restorer_.quit_requested()) return;
        drawing_.set_frame(screen);
        show(false);
    }

    int read_key() override {
        for (;;) {
            if (restorer_.quit_requested()) return key_escape;
            errno = 0;
            const int key = keys_.take_key();
            if (restorer_.quit_requested()) return key_escape;
            if (key == KEY_RESIZE) {
                // The whole screen is drawn again: curses' idea of it no longer holds.
                drawing_.hand_screen_to_curses();
                show(true);
                return restorer_.quit_requested() ? key_escape : key_none;
            }
            if (key == ERR) {
                if (restorer_.input_gone(input_fd_)) return key_escape;
                if (keys_.realtime()) return key_none;
                continue;  // the blocking read's poll interval ran out
            }
            return console_key(key);
        }
    }

    std::uint32_t tick_ms() override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                        static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
        return static_cast<std::uint32_t>(ms);
    }

    void wait_until(std::uint32_t tick) override {
        const std::int32_t left = static_cast<std::int32_t>(tick - tick_ms());
        if (left <= 0) return;
        timespec until{};
        clock_gettime(CLOCK_MONOTONIC, &until);
        until.tv_sec += left / 1000;
        until.tv_nsec += static_cast<long>(left % 1000) * 1000000L;
        if (until.tv_nsec >= 1000000000L) {
            until.tv_sec += 1;
            until.tv_nsec -= 1000000000L;
        }
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
            if (restorer_.quit_requested()) return;
        }
    }

    void set_realtime_input(bool on) override { keys_.set_realtime(on); }

private:
    void show(bool whole) {
        if (drawing_.too_small()) {
            wait_for_room();
            if (restorer_.quit_requested()) return;
            drawing_.hand_screen_to_curses();
            whole = true;
        }
        drawing_.show(whole);
    }

    // The world does not move on while the player cannot see it: wait here, showing what size
    // is needed, until the terminal is large enough again or the player quits.
    void wait_for_room() {
        keys_.wait_slowly(true);
        while (!restorer_.quit_requested() && drawing_.too_small()) {
            drawing_.draw_notice();
            errno = 0;
            const int key = keys_.take_key();
            if (key == key_escape) restorer_.request_quit();
            if (key == ERR) restorer_.input_gone(input_fd_);
        }
        keys_.wait_slowly(false);
    }

    SCREEN* screen_;
    int input_fd_;
    TerminalRestorer restorer_;
    CursesDrawing drawing_;
    KeyReader keys_;
};

}  // namespace

std::unique_ptr<Terminal> make_curses_terminal() { return make_curses_terminal(stdout, stdin); }

std::unique_ptr<Terminal> make_curses_terminal(std::FILE* output, std::FILE* input) {
    // The player's locale decides how glyphs are encoded; numbers stay the program's own.
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    const bool utf8 = locale_is_utf8();
    SCREEN* screen = newterm(nullptr, output, input);
    if (screen == nullptr) return nullptr;
    set_term(screen);
    return std::make_unique<CursesTerminal>(screen, utf8, fileno(input), fileno(output));
}

}  // namespace qm
