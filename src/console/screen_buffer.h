// The 80 x 25 screen buffer every screen draws into, with its pen and clip rectangle.
// Cells are column-major (cell (column, row) is element column * 25 + row), as the map is.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

constexpr int screen_columns = 80;
constexpr int screen_rows = 25;

struct Cell {
    std::uint8_t glyph = ' ';
    std::uint8_t fg = 0;
    std::uint8_t bg = 0;
    std::uint8_t bright = 0;
    bool operator==(const Cell&) const = default;
};

struct Pen {
    std::int32_t row = 0;
    std::int32_t column = 0;
    std::uint16_t fg = 7;
    std::uint16_t bg = 0;
    std::uint8_t bright = 0;
    std::int32_t clip_left = 0, clip_right = screen_columns - 1;
    std::int32_t clip_top = 0, clip_bottom = screen_rows - 1;
};

struct ScreenBuffer {
    std::array<Cell, screen_columns * screen_rows> cells{};
    Pen pen;

    Cell& at(int column, int row) { return cells[column * screen_rows + row]; }
    const Cell& at(int column, int row) const { return cells[column * screen_rows + row]; }
};

// An off-screen position puts the cursor at the centre (row 12, column 40). Row comes first.
void set_cursor(ScreenBuffer& screen, int row, int column);
void set_colour(ScreenBuffer& screen, int fg, int bg, int bright);
// Stores the glyph when the cursor is inside the clip rectangle; the cursor always advances.
void put_glyph(ScreenBuffer& screen, int glyph);
// Writes until the text ends or the cursor reaches column 80; no wrapping.
void put_text(ScreenBuffer& screen, std::string_view text);
void put_centred(ScreenBuffer& screen, int row, std::string_view text);
void clear_screen(ScreenBuffer& screen);
void set_clip(ScreenBuffer& screen, int left, int right, int top, int bottom);

// One row of the buffer as text (glyphs as bytes, 0 as a blank), for tests and the scripted
// terminal. Glyphs 128-255 come back as their code page 437 byte.
std::string row_text(const ScreenBuffer& screen, int row);
// All 25 rows joined with newlines.
std::string screen_text(const ScreenBuffer& screen);

}  // namespace qm
