// The console's glyphs as a terminal can show them: code page 437 to Unicode, and the stand-ins
// for a terminal whose locale is not UTF-8 (curses line-drawing characters, else plain ASCII).
#pragma once

#include <array>
#include <cstdint>

namespace qm {

// Unicode character for each glyph 0..255. Glyph 0 is a blank; 1..31 and 127 are the
// console's pictographs, never control codes.
extern const std::array<char32_t, 256> cp437_unicode;

// A glyph's stand-in without Unicode: `acs` is the letter of the VT100 alternate character set
// that curses draws for it (its ACS_* character), 0 when there is none; `ascii` is the printable
// ASCII character used when there is no line-drawing character.
struct GlyphStandIn {
    char acs;
    char ascii;
};
extern const std::array<GlyphStandIn, 256> cp437_stand_ins;

}  // namespace qm
