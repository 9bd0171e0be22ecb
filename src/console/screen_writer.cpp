#include "console/screen_writer.h"

#include "console/colour.h"

namespace qm {

void ScreenWriter::move_to(int row, int column, std::string& out) {
    if (cursor_known_ && row == row_ && column == column_) return;
    const std::string& jump = codes_.move_to[static_cast<std::size_t>(row * screen_columns + column)];
    if (cursor_known_ && row == row_ && column > column_) {
        const std::string& step = codes_.move_right[static_cast<std::size_t>(column - column_)];
        if (!step.empty() && step.size() < jump.size()) {
            out += step;
            column_ = column;
            return;
        }
    }
    out += jump;
    cursor_known_ = true;
    row_ = row;
    column_ = column;
}

void ScreenWriter::set_pen(const Cell& cell, std::string& out) {
    const bool bright = cell.bright != 0;
    const int fg = terminal_colour(cell.fg) + (bright && codes_.sixteen_colours ? 8 : 0);
    const int bg = terminal_colour(cell.bg);
    const bool bold = bright && !codes_.sixteen_colours;
    // Bold can only be switched off with everything else.
    if (!pen_known_ || (bold_ && !bold)) {
        out += codes_.reset;
        pen_known_ = true;
        bold_ = false;
        fg_ = bg_ = -1;
    }
    if (bold && !bold_) out += codes_.bold;
    if (fg != fg_) out += codes_.foreground[static_cast<std::size_t>(fg)];
    if (bg != bg_) out += codes_.background[static_cast<std::size_t>(bg)];
    bold_ = bold;
    fg_ = fg;
    bg_ = bg;
}

void ScreenWriter::frame(const ScreenBuffer& shown, const ScreenBuffer& next, bool whole, std::string& out) {
    for (int row = 0; row < screen_rows; ++row) {
        for (int column = 0; column < screen_columns; ++column) {
            const Cell& cell = next.at(column, row);
            if (!whole && cell == shown.at(column, row)) continue;
            move_to(row, column, out);
            set_pen(cell, out);
            out += codes_.glyph[cell.glyph];
            // After the last column a terminal may already have wrapped, or may not yet.
            if (++column_ == screen_columns) cursor_known_ = false;
        }
    }
}

}  // namespace qm
