#include "console/curses_terminal.h"

#include <clocale>
#include <ctime>
#include <curses.h>

#include "console/colour.h"

namespace qm {
namespace {

class CursesTerminal final : public Terminal {
public:
    CursesTerminal() {
        std::setlocale(LC_ALL, "");
        initscr();
        start_color();
        for (const PairDefinition& p : colour_pairs().pairs) init_pair(p.pair, p.fg, p.bg);
        curs_set(0);
        noecho();
        cbreak();
    }
    ~CursesTerminal() override { endwin(); }

    void present(const ScreenBuffer& screen) override {
        for (int c = 0; c < screen_columns; ++c) {
            for (int r = 0; r < screen_rows; ++r) {
                const Cell& cell = screen.at(c, r);
                const ColourAttribute a = colour_attribute(cell.fg, cell.bg, cell.bright);
                mvaddch(r, c, (cell.glyph < 32 || cell.glyph > 126 ? ' ' : cell.glyph) |
                                  COLOR_PAIR(a.pair) | (a.bold ? A_BOLD : 0));
            }
        }
        refresh();
    }
    int read_key() override {
        const int key = getch();
        return key == ERR ? 0 : key;
    }
    std::uint32_t tick_ms() override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<std::uint32_t>(ts.tv_sec * 1000u + ts.tv_nsec / 1000000);
    }
    void wait_until(std::uint32_t tick) override {
        const std::uint32_t now = tick_ms();
        const std::int32_t left = static_cast<std::int32_t>(tick - now);
        if (left <= 0) return;
        timespec ts{left / 1000, (left % 1000) * 1000000L};
        nanosleep(&ts, nullptr);
    }
    void set_realtime_input(bool on) override {
        nodelay(stdscr, on);
        keypad(stdscr, on);
    }
};

}  // namespace

std::unique_ptr<Terminal> make_curses_terminal() { return std::make_unique<CursesTerminal>(); }

}  // namespace qm
