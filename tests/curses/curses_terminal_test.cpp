#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <utility>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vterm.h>

#include "console/curses_keys.h"
#include "console/curses_restore.h"
#include "console/curses_terminal.h"
#include "console/keys.h"

namespace qm {
namespace {

// A cell as the player sees it: character, foreground and background by terminal colour number
// (-1 the terminal's default), bold.
using Seen = std::tuple<char32_t, int, int, bool>;

// The player's terminal window: the game's curses terminal on a pseudo-terminal of the given
// type, size and locale, and a terminal emulator showing what it writes. The window showed a
// command line before the game started.
struct PlayerTerminal {
    PlayerTerminal(int columns, int rows, const char* term, const char* locale) {
        resize(columns, rows);
        vterm_set_utf8(vterm, 1);
        vterm_screen_enable_altscreen(screen, 1);
        vterm_screen_reset(screen, 1);
        vterm_input_write(vterm, "$ quillmire\r\n", 13);
        setenv("TERM", term, 1);
        setenv("LC_ALL", locale, 1);
        game = make_curses_terminal(output, input);
        drain();
    }
    ~PlayerTerminal() {
        end_game();
        for (std::FILE* f : {output, input}) std::fclose(f);
        reader.join();
        close(master);
        vterm_free(vterm);
        std::setlocale(LC_ALL, "C");
    }

    void end_game() {
        game.reset();
        drain();
    }
    void type(std::string_view keys) { ASSERT_EQ(write(master, keys.data(), keys.size()), std::ssize(keys)); }
    // Shows everything the game has written so far; how many bytes that was.
    std::size_t drain() {
        static constexpr std::string_view marker = "\033_drained\033\\";
        if (write(fileno(output), marker.data(), marker.size()) < 0) return 0;  // after the game's bytes
        std::unique_lock lock(mutex);
        arrived.wait(lock, [&] { return received.find(marker) != std::string::npos; });
        const std::size_t n = received.find(marker);
        vterm_input_write(vterm, received.data(), n);
        received.erase(0, n + marker.size());
        return n;
    }
    // The window's size; the kernel tells the programs on it when it changes.
    void resize(int columns, int rows) {
        drain();
        const winsize size{static_cast<unsigned short>(rows), static_cast<unsigned short>(columns), 0, 0};
        ioctl(master, TIOCSWINSZ, &size);
        vterm_set_size(vterm, rows, columns);
        window_columns = columns;
        window_rows = rows;
        if (game) raise(SIGWINCH);
    }
    Seen at(int column, int row) const {
        VTermScreenCell cell{};
        vterm_screen_get_cell(screen, VTermPos{row, column}, &cell);
        const auto number = [](const VTermColor& c) { return VTERM_COLOR_IS_INDEXED(&c) ? c.indexed.idx : -1; };
        return {cell.chars[0] == 0 ? U' ' : cell.chars[0], number(cell.fg), number(cell.bg), cell.attrs.bold != 0};
    }
    std::string text(int row) const {
        std::string out;
        for (int column = 0; column < window_columns; ++column) out += static_cast<char>(std::get<0>(at(column, row)));
        return out;
    }
    // The window takes what the game writes at once, as a real one does.
    void read_window() {
        char bytes[4096];
        for (ssize_t n; (n = read(master, bytes, sizeof bytes)) > 0;) {
            const std::lock_guard lock(mutex);
            received.append(bytes, static_cast<std::size_t>(n));
            arrived.notify_all();
        }
    }

    const int master = [] {
        const int fd = posix_openpt(O_RDWR | O_NOCTTY);
        return grantpt(fd) == 0 && unlockpt(fd) == 0 ? fd : -1;
    }();
    std::FILE* const output = fdopen(open(ptsname(master), O_RDWR | O_NOCTTY), "w");
    std::FILE* const input = fdopen(dup(fileno(output)), "r");
    int window_columns = 0, window_rows = 0;
    VTerm* const vterm = vterm_new(25, 80);
    VTermScreen* const screen = vterm_obtain_screen(vterm);
    std::mutex mutex;
    std::condition_variable arrived;
    std::string received;
    std::thread reader{&PlayerTerminal::read_window, this};
    std::unique_ptr<Terminal> game;
};

// The ways the game can be drawn: with its own sequences (in 16 colours or in 8 and bold), or
// by curses (without Unicode, or on a terminal that wraps as soon as its last column is written).
struct Way {
    const char *term, *locale;
    bool sixteen_colours, unicode;
};
constexpr Way ways[] = {
    {"xterm-256color", "C.UTF-8", true, true},
    {"xterm", "C.UTF-8", false, true},
    {"xterm-256color", "C", true, false},
    {"ansi", "C.UTF-8", false, true},
};

// Letters in every colour pair, bright in every other band of 8 columns; in the middle row,
// glyphs that need the code page, each shown as the Unicode character or the stand-in below.
ScreenBuffer known_screen() {
    ScreenBuffer screen;
    const auto byte = [](int n) { return static_cast<std::uint8_t>(n); };
    for (int column = 0; column < screen_columns; ++column) {
        for (int row = 0; row < screen_rows; ++row) {
            screen.at(column, row) =
                Cell{byte('A' + (column + row) % 26), byte(column % 8), byte(row % 8), byte(column / 8 % 2)};
        }
    }
    for (int i = 0; i < 8; ++i) screen.at(36 + i, 12).glyph = std::array{0, 1, 4, 31, 130, 176, 196, 219}[i];
    return screen;
}
constexpr char32_t unicode_glyphs[] = {U' ', U'\u263A', U'\u2666', U'\u25BC', U'\u00E9', U'\u2591', U'\u2500',
                                       U'\u2588'};
// The terminal's own line drawing where it has it (its diamond, checker board and line), else ASCII.
constexpr char32_t stand_in_glyphs[] = {U' ', U'@', U'\u25C6', U'v', U'e', U'\u2592', U'\u2500', U'#'};

// Console blue 1 is the terminal's 4 and red 4 its 1, cyan 3 its 6 and brown 6 its 3. Bright is
// the colour + 8 on a terminal of 16 colours, bold on one of 8.
Seen as_seen(const ScreenBuffer& screen, int column, int row, const Way& way) {
    constexpr int terminal_colour[8] = {0, 4, 2, 6, 1, 5, 3, 7};
    const Cell& c = screen.at(column, row);
    const bool code_page = row == 12 && column >= 36 && column < 44;
    const char32_t glyph = !code_page ? c.glyph : (way.unicode ? unicode_glyphs : stand_in_glyphs)[column - 36];
    return {glyph, terminal_colour[c.fg] + (c.bright && way.sixteen_colours ? 8 : 0), terminal_colour[c.bg],
            c.bright && !way.sixteen_colours};
}

// Every cell of the window: the screen with its top left cell at (left, top), blank grey on
// black around it.
void expect_window(const PlayerTerminal& t, int left, int top, const ScreenBuffer& screen, const Way& way) {
    for (int row = 0; row < t.window_rows; ++row) {
        for (int column = 0; column < t.window_columns; ++column) {
            const bool inside =
                column >= left && column < left + screen_columns && row >= top && row < top + screen_rows;
            const Seen expected = inside ? as_seen(screen, column - left, row - top, way) : Seen{U' ', 7, 0, false};
            EXPECT_EQ(t.at(column, row), expected) << way.term << " " << way.locale << " at " << column << ", " << row;
            if (t.at(column, row) != expected) return;
        }
    }
}

TEST(CursesScreen, EveryCellLandsWhereItBelongsAndOnlyChangesAreSent) {
    for (const Way& way : ways) {
        PlayerTerminal t(80, 25, way.term, way.locale);
        ScreenBuffer screen = known_screen();
        t.game->present(screen);
        t.drain();
        expect_window(t, 0, 0, screen, way);
        t.game->present(screen);
        EXPECT_EQ(t.drain(), 0u) << way.term << " " << way.locale;
        screen.at(5, 7) = Cell{'q', 1, 2, 0};
        screen.at(79, 24) = Cell{'z', 0, 6, 1};
        t.game->present(screen);
        EXPECT_LT(t.drain(), 120u) << way.term << " " << way.locale;  // two cells' worth, not a screen
        expect_window(t, 0, 0, screen, way);
    }
}

// A larger window shows the screen with half the spare columns and rows to its left and above,
// rounded down, and follows the window's size; one too small shows only what size is needed.
TEST(CursesScreen, TheScreenSitsInTheMiddleOfTheWindowOrTheNoticeShowsAlone) {
    for (const Way& way : {ways[0], ways[2], ways[3]}) {
        PlayerTerminal t(100, 30, way.term, way.locale);
        const ScreenBuffer screen = known_screen();
        t.game->present(screen);
        t.drain();
        expect_window(t, 10, 2, screen, way);

        t.resize(121, 33);
        EXPECT_EQ(t.game->read_key(), key_none);
        t.drain();
        expect_window(t, 20, 4, screen, way);

        // The window shows its command line again once the game has ended.
        t.end_game();
        if (std::string_view(way.term) != "ansi") {
            EXPECT_EQ(t.text(0).substr(0, 12), "$ quillmire ");
        }

        // One column short: the notice alone, and ESC quits from it.
        PlayerTerminal small(79, 25, way.term, way.locale);
        small.type("\033");
        small.game->present(screen);
        EXPECT_EQ(small.game->read_key(), key_escape);
        small.drain();
        const std::string_view notice[] = {"                Quillmire needs a terminal of at least 80 x 25.",
                                           "                             This one is 79 x 25.",
                                           "                  Enlarge it to go on, or press ESC to quit."};
        for (int row = 0; row < 25; ++row) {
            const std::string_view line = row >= 11 && row <= 13 ? notice[row - 11] : "";
            EXPECT_EQ(small.text(row), std::string(line) + std::string(79 - line.size(), ' ')) << way.term << row;
        }
    }
}

// Input that can never bring a key again ends the game; input that merely has nothing waiting,
// or has a key waiting, does not.
TEST(CursesInput, OnlyInputThatCanBringNoKeyHasEnded) {
    const int null_input = open("/dev/null", O_RDONLY);
    EXPECT_TRUE(input_ended(null_input));  // always "ready", never a byte
    // A pseudo-terminal, as a terminal window or tmux gives the game.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
    const int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    char keys[2];
    ASSERT_EQ(write(master, "6\n", 2), 2);
    EXPECT_FALSE(input_ended(slave));  // a key waiting
    ASSERT_EQ(read(slave, keys, 2), 2);
    EXPECT_FALSE(input_ended(slave));  // the player has not typed yet
    close(master);  // the window closed
    EXPECT_TRUE(input_ended(slave));
    for (int fd : {null_input, slave}) close(fd);
}

}  // namespace
}  // namespace qm
