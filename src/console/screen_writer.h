// The bytes that take a terminal from one frame to the next, made from its own escape
// sequences read once at start-up. Only the cells that changed are sent, in reading order, and
// the pen and the cursor are moved only as far as they need to be; curses would work the same
// sequences out afresh for every cell, which costs more than the game's whole world step on a
// busy screen.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "console/screen_buffer.h"

namespace qm {

// The escape sequences of the player's terminal, padding removed.
struct TerminalCodes {
    std::string reset;                         // every attribute off
    std::string bold;                          // bold on
    std::array<std::string, 16> foreground{};  // by terminal colour 0..15 (8..15 when it has 16)
    std::array<std::string, 8> background{};
    std::vector<std::string> move_to;          // to each cell of the screen, row * 80 + column
    std::array<std::string, screen_columns> move_right{};  // by distance; empty when unknown
    std::array<std::string, 256> glyph{};      // the bytes of each code page 437 glyph
    // Bright is the colour + 8 where the terminal has 16 colours, bold elsewhere.
    bool sixteen_colours = false;
};

class ScreenWriter {
public:
    explicit ScreenWriter(TerminalCodes codes) : codes_(std::move(codes)) {}

    // Appends to out what turns the terminal's screen from shown into next: every cell when
    // whole is set, else only the cells that differ.
    void frame(const ScreenBuffer& shown, const ScreenBuffer& next, bool whole, std::string& out);
    // The moves to the cells from now on (the screen drawn elsewhere on the terminal).
    void set_moves(std::vector<std::string> move_to) {
        codes_.move_to = std::move(move_to);
        cursor_known_ = false;
    }
    // Forget the terminal's pen and cursor: someone else has written to it.
    void forget() {
        pen_known_ = false;
        cursor_known_ = false;
    }

private:
    void move_to(int row, int column, std::string& out);
    void set_pen(const Cell& cell, std::string& out);

    TerminalCodes codes_;
    bool pen_known_ = false;
    int fg_ = 0, bg_ = 0;
    bool bold_ = false;
    bool cursor_known_ = false;
    int row_ = 0, column_ = 0;
};

}  // namespace qm
