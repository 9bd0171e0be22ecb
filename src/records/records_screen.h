// The records screen: eleven pages, each record one row of label, value and holder. Every row
// sets the record beside the game just played; a record the game beat shows the game's value
// and pulses.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "world/game.h"

namespace qm {

constexpr int record_page_count = 11;

// Shows pages 0..10 in turn: space turns the page, ESC leaves at once (it only leaves this
// screen; the game goes on).
void show_records(Game& game);

// One row at (row, column): the label, the larger of record and current with its last digit
// in column + 20, the holder (or "---" when both values are 0) ending in column + 36. Colour is
// a faction, or -1 for a heading row. A beaten record (current above record) pulses.
void draw_record_row(Game& game, std::uint32_t record, std::uint32_t current, std::string_view label,
                     std::string_view holder, int row, int column, int colour);

// A holder name as text: up to its NUL, or all 15 bytes of a name that has none.
std::string_view holder_text(const std::array<char, holder_name_size>& holder);

}  // namespace qm
