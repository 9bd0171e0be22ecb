#include "console/curses_drawing.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

#include <curses.h>

#include "console/cp437.h"

namespace qm {
namespace {

constexpr int needed_columns = screen_columns;
constexpr int needed_rows = screen_rows;

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

// The moves to every cell of the screen with its top left cell at (top, left).
std::vector<std::string> moves_to_cells(const std::string& cursor_address, int top, int left) {
    std::vector<std::string> moves;
    moves.reserve(screen_rows * screen_columns);
    for (int row = 0; row < screen_rows; ++row) {
        for (int column = 0; column < screen_columns; ++column) {
            moves.push_back(with_parameters(cursor_address, top + row, left + column));
        }
    }
    return moves;
}

// The sequences the frames are written with, when the terminal has all of them: a UTF-8
// locale, absolute cursor moves, colours by number, and no line feed forced by the last
// column. Anything less and curses draws every frame itself. The moves to the cells wait until
// the terminal's size says where the screen stands; cup is what they are made from.
std::optional<TerminalCodes> read_terminal_codes(bool utf8_locale, bool sixteen_colours,
                                                std::string& cup) {
    TerminalCodes codes;
    codes.sixteen_colours = sixteen_colours;
    codes.reset = capability("sgr0");
    codes.bold = capability("bold");
    cup = capability("cup");
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

// Curses numbers its colours as the terminals do.
static_assert(COLOR_RED == terminal_colour(4) && COLOR_BLUE == terminal_colour(1) &&
              COLOR_CYAN == terminal_colour(3) && COLOR_YELLOW == terminal_colour(6));

}  // namespace

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

CursesDrawing::CursesDrawing(bool utf8, int output_fd) : utf8_(utf8), output_fd_(output_fd) {
    start_color();
    // Pair 0 is the console's grey on black, not whatever the player's terminal defaults to.
    assume_default_colors(COLOR_WHITE, COLOR_BLACK);
    sixteen_colours_ = COLORS >= 16 && COLOR_PAIRS >= 128;
    for (const CursesPair& p : curses_pairs(sixteen_colours_)) init_pair(p.pair, p.fg, p.bg);
    curs_set(0);
    leaveok(stdscr, TRUE);
}

void CursesDrawing::start() {
    auto codes = read_terminal_codes(utf8_, sixteen_colours_, cursor_address_);
    if (!codes) return;
    reset_ = codes->reset;
    home_ = with_parameters(cursor_address_, 0, 0);
    writer_.emplace(std::move(*codes));
    // Curses' own start on the terminal (its screen entered and cleared) comes first.
    werase(stdscr);
    wrefresh(stdscr);
}

bool CursesDrawing::too_small() const {
    int rows = 0, columns = 0;
    getmaxyx(stdscr, rows, columns);
    return rows < needed_rows || columns < needed_columns;
}

// Only the cells that changed since the last frame are handed on, and a frame with none changed
// sends nothing: handing all 2,000 to curses every frame costs more than the game's own drawing.
void CursesDrawing::show(bool whole) {
    // Half the spare rows and columns above and to the left, rounded down.
    int rows = 0, columns = 0;
    getmaxyx(stdscr, rows, columns);
    const int top = (rows - screen_rows) / 2, left = (columns - screen_columns) / 2;
    if (top != top_ || left != left_) {
        // Nothing of the screen may stay where it stood before.
        if (shown_valid_) hand_screen_to_curses();
        top_ = top;
        left_ = left;
        if (writer_) writer_->set_moves(moves_to_cells(cursor_address_, top_, left_));
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

// The frame written straight to the terminal with its own sequences; curses is kept out of it
// until the screen is handed back.
void CursesDrawing::write_frame(bool whole) {
    output_.clear();
    writer_->frame(shown_, last_, whole, output_);
    if (output_.empty()) return;
    write_all(output_fd_, output_);
    shown_ = last_;
    shown_valid_ = true;
}

// The pen goes back to normal and curses clears the screen, so that what curses believes of the
// terminal is true again; the next frame is then written whole. The cursor goes to the top left
// first: curses still believes it where curses last left it, and where the terminal cannot
// clear in the game's colours curses blanks the rows with spaces from there, so the first row
// would be blanked wherever the frames left the cursor. Every move curses makes from a wrong
// belief towards the top left stops there.
void CursesDrawing::hand_screen_to_curses() {
    if (writer_) {
        write_all(output_fd_, reset_ + home_);
        writer_->forget();
    }
    shown_valid_ = false;
    werase(stdscr);
    clearok(curscr, TRUE);
    wrefresh(stdscr);
}

void CursesDrawing::draw_cell(int row, int column, const Cell& cell) {
    const ColourAttribute a = curses_attribute(cell.fg & 7, cell.bg & 7, cell.bright, sixteen_colours_);
    const attr_t bold = a.bold ? A_BOLD : A_NORMAL;
    if (utf8_) {
        const wchar_t text[2] = {static_cast<wchar_t>(cp437_unicode[cell.glyph]), L'\0'};
        cchar_t c{};
        setcchar(&c, text, bold, static_cast<short>(a.pair), nullptr);
        mvwadd_wch(stdscr, top_ + row, left_ + column, &c);
    } else {
        const GlyphStandIn s = cp437_stand_ins[cell.glyph];
        const chtype glyph =
            s.acs != 0 ? NCURSES_ACS(s.acs) : static_cast<chtype>(static_cast<unsigned char>(s.ascii));
        mvwaddch(stdscr, top_ + row, left_ + column, glyph | bold | COLOR_PAIR(a.pair));
    }
}

void CursesDrawing::draw_notice() {
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

}  // namespace qm
