// The 400 x 125 map: terrain and picture at once. Cell (x, y) is element x * 125 + y.
#pragma once

#include <array>

#include "console/screen_buffer.h"

namespace qm {

constexpr int map_width = 400;
constexpr int map_height = 125;
constexpr int sector_width = 80;
constexpr int sector_height = 25;
constexpr int sectors_across = 5;
constexpr int sectors_down = 5;

constexpr int glyph_floor = '.';
constexpr int glyph_source = 15;
constexpr int glyph_wall = 219;
constexpr int glyph_barrier = 234;

using MapCells = std::array<Cell, map_width * map_height>;

constexpr bool on_map(int x, int y) { return x >= 0 && x < map_width && y >= 0 && y < map_height; }
constexpr int map_index(int x, int y) { return x * map_height + y; }
constexpr int sector_index(int x, int y) { return (x / sector_width) * sectors_down + y / sector_height; }
// The larger of the column and row differences: diagonal steps cost the same as straight ones.
constexpr int distance(int ax, int ay, int bx, int by) {
    const int across = ax > bx ? ax - bx : bx - ax;
    const int down = ay > by ? ay - by : by - ay;
    return across > down ? across : down;
}

constexpr Cell open_ground{glyph_floor, 2, 0, 0};
constexpr Cell source_cell{glyph_source, 1, 1, 1};

// Walls and the worn walls that still block.
constexpr bool is_wall_glyph(int glyph) { return glyph == 219 || glyph == 178 || glyph == 177 || glyph == 176; }
constexpr bool is_source(const Cell& c) { return c.glyph == glyph_source && c.fg == 1 && c.bg == 1 && c.bright == 1; }
constexpr bool is_energised_floor(const Cell& c) { return c.glyph == glyph_floor && c.fg != 2; }
// A node standing here releases ooze.
constexpr bool is_active_ground(const Cell& c) { return is_source(c) || is_energised_floor(c); }

void fill_map(MapCells& map, Cell cell);

}  // namespace qm
