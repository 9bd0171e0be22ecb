#include "console/screen_buffer.h"

namespace qm {

void set_cursor(ScreenBuffer& screen, int row, int column) {
    if (column < 0 || column >= screen_columns || row < 0 || row >= screen_rows) {
        row = 12;
        column = 40;
    }
    screen.pen.row = row;
    screen.pen.column = column;
}

void set_colour(ScreenBuffer& screen, int fg, int bg, int bright) {
    screen.pen.fg = static_cast<std::uint16_t>(fg);
    screen.pen.bg = static_cast<std::uint16_t>(bg);
    screen.pen.bright = static_cast<std::uint8_t>(bright);
}

void put_glyph(ScreenBuffer& screen, int glyph) {
    Pen& pen = screen.pen;
    if (pen.column >= pen.clip_left && pen.column <= pen.clip_right && pen.row >= pen.clip_top &&
        pen.row <= pen.clip_bottom) {
        screen.at(pen.column, pen.row) =
            Cell{static_cast<std::uint8_t>(glyph), static_cast<std::uint8_t>(pen.fg & 0xFF),
                 static_cast<std::uint8_t>(pen.bg & 0xFF), pen.bright};
    }
    ++pen.column;
}

void put_text(ScreenBuffer& screen, std::string_view text) {
    for (char c : text) {
        if (screen.pen.column >= screen_columns) break;
        put_glyph(screen, static_cast<unsigned char>(c));
    }
}

void put_centred(ScreenBuffer& screen, int row, std::string_view text) {
    // The shift is on the unsigned length: an empty text gives a huge value, so a column far
    // to the left, which set_cursor turns into the centre, as does any text over 80 long.
    const std::uint32_t half = (static_cast<std::uint32_t>(text.size()) - 1u) >> 1;
    const std::int64_t column = 39 - static_cast<std::int64_t>(half);
    set_cursor(screen, row, column < -1 ? -1 : static_cast<int>(column));
    put_text(screen, text);
}

void clear_screen(ScreenBuffer& screen) {
    screen.cells.fill(Cell{' ', 0, 0, 0});
}

void set_clip(ScreenBuffer& screen, int left, int right, int top, int bottom) {
    screen.pen.clip_left = left;
    screen.pen.clip_right = right;
    screen.pen.clip_top = top;
    screen.pen.clip_bottom = bottom;
}

std::string row_text(const ScreenBuffer& screen, int row) {
    std::string text(screen_columns, ' ');
    for (int column = 0; column < screen_columns; ++column) {
        const std::uint8_t glyph = screen.at(column, row).glyph;
        text[column] = glyph == 0 ? ' ' : static_cast<char>(glyph);
    }
    return text;
}

std::string screen_text(const ScreenBuffer& screen) {
    std::string text;
    for (int row = 0; row < screen_rows; ++row) {
        text += row_text(screen, row);
        if (row + 1 < screen_rows) text += '\n';
    }
    return text;
}

}  // namespace qm
