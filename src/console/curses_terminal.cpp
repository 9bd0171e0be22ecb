#include "console/curses_terminal.h"

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>

#include <langinfo.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <curses.h>

#include "console/cp437.h"
#include "console/keys.h"
#include "console/screen_writer.h"

namespace qm {
namespace {

constexpr int needed_columns = screen_columns;
constexpr int needed_rows = screen_rows;
// ESC is a key of its own here; a longer wait would delay every quit and every menu close.
constexpr int escape_delay_ms = 25;
// How often a blocking read or the too-small notice looks at the quit flag again.
constexpr int poll_interval_ms = 100;
// Longer than any escape sequence a terminal sends for a key.
constexpr int max_sequence_length = 32;

// Keypad keys the console has no code for; read as the characters printed on them.
constexpr int pad_equals = 0x1FB;
constexpr int pad_comma = 0x1FC;
constexpr int console_backspace = 8;

struct Binding {
    const char* sequence;
    int code;
};

// Application-mode keypad (what tmux, screen and xterm send once keypad mode is on, whatever
// their terminfo entries say), keypad 5 and Home/End as the common terminals send them, and
// both forms of the arrows. Unbound, each would arrive as ESC and quit the game.
constexpr Binding key_bindings[] = {
    {"\033Op", pad_zero},        {"\033Oq", pad_lower_left}, {"\033Or", pad_down},
    {"\033Os", pad_lower_right}, {"\033Ot", pad_left},       {"\033Ou", pad_centre},
    {"\033Ov", pad_right},       {"\033Ow", pad_upper_left}, {"\033Ox", pad_up},
    {"\033Oy", pad_upper_right}, {"\033OM", pad_enter},      {"\033Oj", pad_star},
    {"\033Ok", pad_plus},        {"\033Om", pad_minus},      {"\033On", pad_stop},
    {"\033Oo", pad_slash},       {"\033OX", pad_equals},     {"\033Ol", pad_comma},
    {"\033OE", pad_centre},      {"\033[E", pad_centre},     {"\033[G", pad_centre},
    {"\033[H", pad_upper_left},  {"\033OH", pad_upper_left}, {"\033[1~", pad_upper_left},
    {"\033[7~", pad_upper_left}, {"\033[F", pad_lower_left}, {"\033OF", pad_lower_left},
    {"\033[4~", pad_lower_left}, {"\033[8~", pad_lower_left}, {"\033[5~", pad_upper_right},
    {"\033[6~", pad_lower_right}, {"\033[A", key_up},        {"\033OA", key_up},
    {"\033[B", key_down},        {"\033OB", key_down},       {"\033[C", key_right},
    {"\033OC", key_right},       {"\033[D", key_left},       {"\033OD", key_left},
};

// Curses key codes and the console key each one is.
constexpr std::pair<int, int> curses_keys[] = {
    {KEY_UP, key_up},           {KEY_DOWN, key_down},        {KEY_LEFT, key_left},
    {KEY_RIGHT, key_right},     {KEY_A1, pad_upper_left},    {KEY_HOME, pad_upper_left},
    {KEY_FIND, pad_upper_left}, {KEY_A3, pad_upper_right},   {KEY_PPAGE, pad_upper_right},
    {KEY_B2, pad_centre},       {KEY_BEG, pad_centre},       {KEY_C1, pad_lower_left},
    {KEY_END, pad_lower_left},  {KEY_SELECT, pad_lower_left}, {KEY_C3, pad_lower_right},
    {KEY_NPAGE, pad_lower_right}, {KEY_ENTER, pad_enter},    {KEY_IC, pad_zero},
    {KEY_DC, pad_stop},         {KEY_BACKSPACE, console_backspace},
};

// Set from signal handlers and from a terminal that went away; once set, the game winds down.
volatile std::sig_atomic_t quit_requested = 0;
volatile std::sig_atomic_t curses_active = 0;
// What puts the terminal's pen back when the frames are written without curses: a fatal signal
// has no time to ask for it.
char fatal_reset[64];
std::size_t fatal_reset_length = 0;
int fatal_reset_fd = -1;

constexpr int quit_signals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int fatal_signals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGQUIT};
struct sigaction previous_actions[NSIG];

void on_quit_signal(int) { quit_requested = 1; }

// Puts the terminal back before the program dies, then lets the signal take its usual course:
// a fault repeats when the handler returns; a sent signal is sent again.
void on_fatal_signal(int sig, siginfo_t* info, void*) {
    if (curses_active) {
        curses_active = 0;
        if (fatal_reset_fd >= 0 && write(fatal_reset_fd, fatal_reset, fatal_reset_length) < 0) {
            // Nothing more can be done for a terminal that takes nothing.
        }
        endwin();
    }
    sigaction(sig, &previous_actions[sig], nullptr);
    if (info == nullptr || info->si_code <= 0) raise(sig);
}

void install_signal_handlers() {
    struct sigaction quit_action {};
    quit_action.sa_handler = on_quit_signal;
    sigemptyset(&quit_action.sa_mask);
    for (int sig : quit_signals) sigaction(sig, &quit_action, &previous_actions[sig]);

    struct sigaction fatal_action {};
    fatal_action.sa_sigaction = on_fatal_signal;
    fatal_action.sa_flags = SA_SIGINFO;
    sigemptyset(&fatal_action.sa_mask);
    for (int sig : fatal_signals) sigaction(sig, &fatal_action, &previous_actions[sig]);
}

void restore_signal_handlers() {
    for (int sig : quit_signals) sigaction(sig, &previous_actions[sig], nullptr);
    for (int sig : fatal_signals) sigaction(sig, &previous_actions[sig], nullptr);
}

// A hung-up or closed terminal makes every read fail at once; without this the game would run
// on with no player forever.
bool terminal_gone(int input_fd) { return errno == EIO || input_ended(input_fd); }

bool locale_is_utf8() {
    const char* codeset = nl_langinfo(CODESET);
    return codeset != nullptr && std::strcmp(codeset, "UTF-8") == 0;
}

// Terminfo strings may carry delays ("$<5>") meant for the padding of old hardware terminals;
// written out as they are they would show as text.
std::string without_padding(const char* sequence) {
    std::string out;
    for (const char* p = sequence; *p != '\0'; ++p) {
        if (p[0] == '$' && p[1] == '<') {
            const char* end = std::strchr(p, '>');
            if (end != nullptr) {
                p = end;
                continue;
            }
        }
        out += *p;
    }
    return out;
}

std::string capability(const char* name) {
    const char* sequence = tigetstr(name);
    if (sequence == nullptr || sequence == reinterpret_cast<char*>(-1)) return {};
    return without_padding(sequence);
}

std::string with_parameters(const std::string& sequence, int a, int b = 0) {
    const char* text = tiparm(sequence.c_str(), a, b);
    return text == nullptr ? std::string() : without_padding(text);
}

std::string utf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// The sequences the frames are written with, when the terminal has all of them: a UTF-8
// locale, absolute cursor moves, colours by number, and no line feed forced by the last
// column. Anything less and curses draws every frame itself.
std::optional<TerminalCodes> read_terminal_codes(bool utf8_locale, bool sixteen_colours) {
    TerminalCodes codes;
    codes.sixteen_colours = sixteen_colours;
    codes.reset = capability("sgr0");
    codes.bold = capability("bold");
    const std::string cup = capability("cup");
    const std::string setaf = capability("setaf");
    const std::string setab = capability("setab");
    const std::string cuf = capability("cuf");
    const bool wraps_at_once = tigetflag("am") > 0 && tigetflag("xenl") <= 0;
    if (!utf8_locale || codes.reset.empty() || cup.empty() || setaf.empty() || setab.empty() ||
        wraps_at_once || (!sixteen_colours && codes.bold.empty())) {
        return std::nullopt;
    }
    for (int c = 0; c < (sixteen_colours ? 16 : 8); ++c) codes.foreground[c] = with_parameters(setaf, c);
    for (int c = 0; c < 8; ++c) codes.background[c] = with_parameters(setab, c);
    codes.move_to.reserve(screen_rows * screen_columns);
    for (int row = 0; row < screen_rows; ++row) {
        for (int column = 0; column < screen_columns; ++column) {
            codes.move_to.push_back(with_parameters(cup, row, column));
        }
    }
    if (!cuf.empty()) {
        for (int n = 1; n < screen_columns; ++n) codes.move_right[n] = with_parameters(cuf, n);
    }
    for (int g = 0; g < 256; ++g) codes.glyph[g] = utf8(cp437_unicode[g]);
    return codes;
}

void write_all(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;  // a terminal that went away: the next read ends the game
        done += static_cast<std::size_t>(n);
    }
}

class CursesTerminal final : public Terminal {
public:
    CursesTerminal(SCREEN* screen, bool utf8, int input_fd, int output_fd)
        : screen_(screen), utf8_(utf8), input_fd_(input_fd), output_fd_(output_fd) {
        curses_active = 1;
        set_escdelay(escape_delay_ms);
        start_color();
        // Pair 0 is the console's grey on black, not whatever the player's terminal defaults to.
        assume_default_colors(COLOR_WHITE, COLOR_BLACK);
        sixteen_colours_ = COLORS >= 16 && COLOR_PAIRS >= 128;
        for (const CursesPair& p : curses_pairs(sixteen_colours_)) init_pair(p.pair, p.fg, p.bg);
        curs_set(0);
        noecho();
        cbreak();
        leaveok(stdscr, TRUE);
        intrflush(stdscr, FALSE);
        // Keypad translation stays on from the start: without it an arrow pressed on the title
        // screen would arrive as ESC and end the program.
        keypad(stdscr, TRUE);
        for (const Binding& b : key_bindings) define_key(b.sequence, b.code);
        apply_read_delay();
        if (auto codes = read_terminal_codes(utf8_, sixteen_colours_)) {
            reset_ = codes->reset;
            home_ = codes->move_to[0];
            writer_.emplace(std::move(*codes));
            if (reset_.size() <= sizeof fatal_reset) {
                std::memcpy(fatal_reset, reset_.data(), reset_.size());
                fatal_reset_length = reset_.size();
                fatal_reset_fd = output_fd_;
            }
            // Curses' own start on the terminal (its screen entered and cleared) comes first.
            werase(stdscr);
            wrefresh(stdscr);
        }
        install_signal_handlers();
    }

    ~CursesTerminal() override {
        restore_signal_handlers();
        if (curses_active) {
            hand_screen_to_curses();
            curses_active = 0;
            endwin();
        }
        fatal_reset_fd = -1;
        delscreen(screen_);
    }

    CursesTerminal(const CursesTerminal&) = delete;
    CursesTerminal& operator=(const CursesTerminal&) = delete;

    void present(const ScreenBuffer& screen) override {
        if (quit_requested) return;
        last_ = screen;
        show_last();
    }

    int read_key() override {
        for (;;) {
            if (quit_requested) return key_escape;
            errno = 0;
            const int key = take_key();
            if (quit_requested) return key_escape;
            if (key == KEY_RESIZE) {
                // The whole screen is drawn again: curses' idea of it no longer holds.
                hand_screen_to_curses();
                show_last(true);
                return quit_requested ? key_escape : key_none;
            }
            if (key == ERR) {
                if (terminal_gone(input_fd_)) {
                    quit_requested = 1;
                    return key_escape;
                }
                if (realtime_) return key_none;
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
            if (quit_requested) return;
        }
    }

    void set_realtime_input(bool on) override {
        realtime_ = on;
        apply_read_delay();
    }

private:
    // Real-time reads return at once; blocking ones wake up now and then to see the quit flag.
    void apply_read_delay() { wtimeout(stdscr, realtime_ ? 0 : poll_interval_ms); }

    // One key from curses, ESC only for the ESC key itself. Curses hands over the ESC of an
    // escape sequence it does not know (a shifted function key, an Alt-modified key) and keeps
    // the rest queued; what follows at once is that sequence, read away here and worth nothing.
    int take_key(int restore_delay_ms) {
        const int key = wgetch(stdscr);
        if (key != key_escape) return key;
        wtimeout(stdscr, 0);
        const int next = wgetch(stdscr);
        if (next == '[' || next == 'O') skip_sequence(next);
        wtimeout(stdscr, restore_delay_ms);
        if (next == ERR || next == key_escape) return key_escape;
        return key_none;
    }
    int take_key() { return take_key(realtime_ ? 0 : poll_interval_ms); }

    // The rest of a CSI sequence (parameters and intermediates up to its final byte) or the
    // one character that ends an SS3 sequence.
    static void skip_sequence(int introducer) {
        if (introducer == 'O') {
            wgetch(stdscr);
            return;
        }
        for (int i = 0; i < max_sequence_length; ++i) {
            const int c = wgetch(stdscr);
            if (c == ERR || (c >= 0x40 && c <= 0x7E)) return;
        }
    }

    bool too_small() const {
        int rows = 0, columns = 0;
        getmaxyx(stdscr, rows, columns);
        return rows < needed_rows || columns < needed_columns;
    }

    // Only the cells that changed since the last frame are handed on, and a frame with none
    // changed sends nothing: handing all 2,000 to curses every frame costs more than the game's
    // own drawing.
    void show_last(bool whole = false) {
        if (too_small()) {
            wait_for_room();
            apply_read_delay();
            if (quit_requested) return;
            hand_screen_to_curses();
            whole = true;
        }
        if (writer_) {
            write_frame(whole || !shown_valid_);
            return;
        }
        if (whole || !shown_valid_) {
            werase(stdscr);
            for (int row = 0; row < screen_rows; ++row) {
                for (int column = 0; column < screen_columns; ++column) {
                    draw_cell(row, column, last_.at(column, row));
                }
            }
        } else {
            bool changed = false;
            for (int column = 0; column < screen_columns; ++column) {
                for (int row = 0; row < screen_rows; ++row) {
                    const Cell& cell = last_.at(column, row);
                    if (cell == shown_.at(column, row)) continue;
                    draw_cell(row, column, cell);
                    changed = true;
                }
            }
            if (!changed) return;
        }
        shown_ = last_;
        shown_valid_ = true;
        wrefresh(stdscr);
    }

    // The frame written straight to the terminal with its own sequences; curses is kept out of
    // it until the screen is handed back.
    void write_frame(bool whole) {
        output_.clear();
        writer_->frame(shown_, last_, whole, output_);
        if (output_.empty()) return;
        write_all(output_fd_, output_);
        shown_ = last_;
        shown_valid_ = true;
    }

    // Before curses writes to the terminal (the notice, a resize, the way out), the pen goes
    // back to normal and curses clears the screen, so that what curses believes of the
    // terminal is true again; the next frame is then written whole. The cursor goes to the top
    // left first: curses still believes it where curses last left it, and where the terminal
    // cannot clear in the game's colours curses blanks the rows with spaces from there, so the
    // first row would be blanked wherever the frames left the cursor. Every move curses makes
    // from a wrong belief towards the top left stops there.
    void hand_screen_to_curses() {
        if (writer_) {
            write_all(output_fd_, reset_ + home_);
            writer_->forget();
            shown_valid_ = false;
        }
        werase(stdscr);
        clearok(curscr, TRUE);
        wrefresh(stdscr);
    }

    void draw_cell(int row, int column, const Cell& cell) {
        const ColourAttribute a = curses_attribute(cell.fg & 7, cell.bg & 7, cell.bright,
                                                   sixteen_colours_);
        const attr_t bold = a.bold ? A_BOLD : A_NORMAL;
        if (utf8_) {
            const wchar_t text[2] = {static_cast<wchar_t>(cp437_unicode[cell.glyph]), L'\0'};
            cchar_t c{};
            setcchar(&c, text, bold, static_cast<short>(a.pair), nullptr);
            mvwadd_wch(stdscr, row, column, &c);
        } else {
            const GlyphStandIn s = cp437_stand_ins[cell.glyph];
            const chtype glyph =
                s.acs != 0 ? NCURSES_ACS(s.acs) : static_cast<chtype>(static_cast<unsigned char>(s.ascii));
            mvwaddch(stdscr, row, column, glyph | bold | COLOR_PAIR(a.pair));
        }
    }

    // The world does not move on while the player cannot see it: wait here, showing what size
    // is needed, until the terminal is large enough again or the player quits.
    void wait_for_room() {
        wtimeout(stdscr, poll_interval_ms);
        while (!quit_requested && too_small()) {
            draw_notice();
            errno = 0;
            const int key = take_key(poll_interval_ms);
            if (key == key_escape || (key == ERR && terminal_gone(input_fd_))) quit_requested = 1;
        }
    }

    void draw_notice() {
        int rows = 0, columns = 0;
        getmaxyx(stdscr, rows, columns);
        const std::string lines[] = {
            "Quillmire needs a terminal of at least 80 x 25.",
            "This one is " + std::to_string(columns) + " x " + std::to_string(rows) + ".",
            "Enlarge it to go on, or press ESC to quit.",
        };
        werase(stdscr);
        const int top = rows > 3 ? (rows - 3) / 2 : 0;
        for (int i = 0; i < 3 && top + i < rows; ++i) {
            const int length = static_cast<int>(lines[i].size());
            const int left = columns > length ? (columns - length) / 2 : 0;
            wattrset(stdscr, A_NORMAL);
            mvwaddnstr(stdscr, top + i, left, lines[i].c_str(), columns - left);
        }
        wrefresh(stdscr);
    }

    SCREEN* screen_;
    bool utf8_;
    int input_fd_;
    int output_fd_;
    // Set where the terminal has every sequence the frames need; else curses draws them.
    std::optional<ScreenWriter> writer_;
    std::string reset_;
    std::string home_;
    std::string output_;
    bool sixteen_colours_ = false;
    bool realtime_ = false;
    ScreenBuffer last_;
    // What stdscr holds: the cells of the last frame handed to curses.
    ScreenBuffer shown_;
    bool shown_valid_ = false;
};

}  // namespace

// Curses numbers its colours as the terminals do.
static_assert(COLOR_RED == terminal_colour(4) && COLOR_BLUE == terminal_colour(1) &&
              COLOR_CYAN == terminal_colour(3) && COLOR_YELLOW == terminal_colour(6));

std::vector<CursesPair> curses_pairs(bool sixteen_colours) {
    std::vector<CursesPair> pairs;
    for (const PairDefinition& p : colour_pairs().pairs) {
        pairs.push_back({p.pair, terminal_colour(p.fg), terminal_colour(p.bg)});
    }
    if (sixteen_colours) {
        for (int fg = 0; fg < 8; ++fg) {
            for (int bg = 0; bg < 8; ++bg) {
                pairs.push_back({64 + fg * 8 + bg, terminal_colour(fg) + 8, terminal_colour(bg)});
            }
        }
    }
    return pairs;
}

ColourAttribute curses_attribute(int fg, int bg, int bright, bool sixteen_colours) {
    if (sixteen_colours && bright != 0) return {64 + fg * 8 + bg, false};
    return colour_attribute(fg, bg, bright);
}

bool input_ended(int fd) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0) return false;  // nothing waiting: still there
    if ((p.revents & POLLNVAL) != 0) return true;
    // "Ready" is also what input at its end says, for ever: only bytes to read are keys still
    // to come, even from a terminal that has just gone.
    int waiting = 0;
    if ((p.revents & POLLIN) != 0 && ioctl(fd, FIONREAD, &waiting) == 0 && waiting > 0) return false;
    return (p.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

int console_key(int curses_key) {
    if (curses_key < 0) return key_none;
    if (curses_key == 127) return console_backspace;  // the terminal's backspace
    if (curses_key < 128) return curses_key;
    if (curses_key < 256) return key_none;  // bytes of non-ASCII text, no key of the game
    if (curses_key == pad_equals) return '=';
    if (curses_key == pad_comma) return ',';
    for (const auto& [code, console] : curses_keys) {
        if (curses_key == code) return console;
    }
    for (const KeypadKey& k : keypad_keys) {  // the codes the bindings above deliver
        if (curses_key == k.code) return k.code;
    }
    return key_none;
}

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
