// Drawing the game's screen on the terminal: written straight with the terminal's own sequences
// where it has every one the frames need, by curses elsewhere; and the notice shown while the
// terminal is too small.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "console/colour.h"
#include "console/screen_buffer.h"
#include "console/screen_writer.h"

namespace qm {

// One colour pair as created in curses numbering.
struct CursesPair {
    int pair, fg, bg;
};
// The pairs to create. Without 16 colours they are the console's 63 pairs; with them, 64
// more (64 + fg * 8 + bg) whose foreground is the bright colour fg + 8.
std::vector<CursesPair> curses_pairs(bool sixteen_colours);
// The pair and boldness a cell is drawn with: bold stands in for bright only where the terminal
// has fewer than 16 colours, since many terminals do not brighten bold text.
ColourAttribute curses_attribute(int fg, int bg, int bright, bool sixteen_colours);

class CursesDrawing {
public:
    // Sets up the colours and hides the cursor.
    CursesDrawing(bool utf8, int output_fd);
    // Chooses how the frames are written: where the terminal has every sequence, the screen is
    // cleared by curses once and the frames are written without it from then on.
    void start();
    // What puts the terminal's pen back when the frames are written without curses; empty when
    // curses draws them.
    const std::string& pen_reset() const { return reset_; }

    void set_frame(const ScreenBuffer& screen) { last_ = screen; }
    bool too_small() const;
    // Shows the last frame on a terminal large enough, in its middle: every cell when whole is
    // set or the terminal's size moved the middle, else only those that changed since the last
    // one shown.
    void show(bool whole);
    void draw_notice();
    // Before curses writes to the terminal (the notice, a resize, the way out).
    void hand_screen_to_curses();

private:
    void write_frame(bool whole);
    void draw_cell(int row, int column, const Cell& cell);

    bool utf8_;
    int output_fd_;
    bool sixteen_colours_ = false;
    // Where the screen's top left cell stands on the terminal; nowhere before the first frame.
    int top_ = -1, left_ = -1;
    // The terminal's cursor move, when the frames are written without curses.
    std::string cursor_address_;
    // Set where the terminal has every sequence the frames need; else curses draws them.
    std::optional<ScreenWriter> writer_;
    std::string reset_;
    std::string home_;
    std::string output_;
    ScreenBuffer last_;
    // What the terminal shows: the cells of the last frame written or handed to curses.
    ScreenBuffer shown_;
    bool shown_valid_ = false;
};

}  // namespace qm
