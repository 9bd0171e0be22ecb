#include "console/cp437.h"

namespace qm {
namespace {

// Glyphs 1..31: the pictographs the console shows for control codes.
constexpr char32_t pictographs[32] = {
    U' ',      U'\u263A', U'\u263B', U'\u2665', U'\u2666', U'\u2663', U'\u2660', U'\u2022',
    U'\u25D8', U'\u25CB', U'\u25D9', U'\u2642', U'\u2640', U'\u266A', U'\u266B', U'\u263C',
    U'\u25BA', U'\u25C4', U'\u2195', U'\u203C', U'\u00B6', U'\u00A7', U'\u25AC', U'\u21A8',
    U'\u2191', U'\u2193', U'\u2192', U'\u2190', U'\u221F', U'\u2194', U'\u25B2', U'\u25BC',
};

// Glyphs 128..255: accented letters, then shades and line drawing, then Greek and mathematics.
constexpr char32_t upper_half[128] = {
    U'\u00C7', U'\u00FC', U'\u00E9', U'\u00E2', U'\u00E4', U'\u00E0', U'\u00E5', U'\u00E7',
    U'\u00EA', U'\u00EB', U'\u00E8', U'\u00EF', U'\u00EE', U'\u00EC', U'\u00C4', U'\u00C5',
    U'\u00C9', U'\u00E6', U'\u00C6', U'\u00F4', U'\u00F6', U'\u00F2', U'\u00FB', U'\u00F9',
    U'\u00FF', U'\u00D6', U'\u00DC', U'\u00A2', U'\u00A3', U'\u00A5', U'\u20A7', U'\u0192',
    U'\u00E1', U'\u00ED', U'\u00F3', U'\u00FA', U'\u00F1', U'\u00D1', U'\u00AA', U'\u00BA',
    U'\u00BF', U'\u2310', U'\u00AC', U'\u00BD', U'\u00BC', U'\u00A1', U'\u00AB', U'\u00BB',
    U'\u2591', U'\u2592', U'\u2593', U'\u2502', U'\u2524', U'\u2561', U'\u2562', U'\u2556',
    U'\u2555', U'\u2563', U'\u2551', U'\u2557', U'\u255D', U'\u255C', U'\u255B', U'\u2510',
    U'\u2514', U'\u2534', U'\u252C', U'\u251C', U'\u2500', U'\u253C', U'\u255E', U'\u255F',
    U'\u255A', U'\u2554', U'\u2569', U'\u2566', U'\u2560', U'\u2550', U'\u256C', U'\u2567',
    U'\u2568', U'\u2564', U'\u2565', U'\u2559', U'\u2558', U'\u2552', U'\u2553', U'\u256B',
    U'\u256A', U'\u2518', U'\u250C', U'\u2588', U'\u2584', U'\u258C', U'\u2590', U'\u2580',
    U'\u03B1', U'\u00DF', U'\u0393', U'\u03C0', U'\u03A3', U'\u03C3', U'\u00B5', U'\u03C4',
    U'\u03A6', U'\u0398', U'\u03A9', U'\u03B4', U'\u221E', U'\u03C6', U'\u03B5', U'\u2229',
    U'\u2261', U'\u00B1', U'\u2265', U'\u2264', U'\u2320', U'\u2321', U'\u00F7', U'\u2248',
    U'\u00B0', U'\u2219', U'\u00B7', U'\u221A', U'\u207F', U'\u00B2', U'\u25A0', U'\u00A0',
};

constexpr std::array<char32_t, 256> build_unicode() {
    std::array<char32_t, 256> table{};
    for (int g = 0; g < 32; ++g) table[g] = pictographs[g];
    for (int g = 32; g < 127; ++g) table[g] = static_cast<char32_t>(g);
    table[127] = U'\u2302';
    for (int g = 128; g < 256; ++g) table[g] = upper_half[g - 128];
    return table;
}

// Stand-ins for 1..31, 127 and 128..255, as (acs letter, ascii) pairs. The ACS letters are the
// VT100 ones: q/x lines, l k m j corners, t u v w tees, n cross, a checker board, 0 block,
// ` diamond, ~ bullet, f degree, g plus-minus, y/z less/greater-equal, { pi, } pound,
// + , - . the arrows right, left, up, down.
constexpr GlyphStandIn low_stand_ins[32] = {
    {0, ' '},   {0, '@'},   {0, '@'},   {0, 'v'},   {'`', '*'}, {0, '%'},   {0, '^'},   {'~', '*'},
    {0, '#'},   {0, 'o'},   {0, '#'},   {0, 'm'},   {0, 'f'},   {0, 'd'},   {0, 'd'},   {0, '*'},
    {'+', '>'}, {',', '<'}, {0, '|'},   {0, '!'},   {0, 'P'},   {0, 'S'},   {0, '_'},   {0, '|'},
    {'-', '^'}, {'.', 'v'}, {'+', '>'}, {',', '<'}, {'m', '+'}, {0, '-'},   {'-', '^'}, {'.', 'v'},
};

constexpr GlyphStandIn high_stand_ins[128] = {
    // 128..175: letters lose their accents.
    {0, 'C'}, {0, 'u'}, {0, 'e'}, {0, 'a'}, {0, 'a'}, {0, 'a'}, {0, 'a'}, {0, 'c'},
    {0, 'e'}, {0, 'e'}, {0, 'e'}, {0, 'i'}, {0, 'i'}, {0, 'i'}, {0, 'A'}, {0, 'A'},
    {0, 'E'}, {0, 'a'}, {0, 'A'}, {0, 'o'}, {0, 'o'}, {0, 'o'}, {0, 'u'}, {0, 'u'},
    {0, 'y'}, {0, 'O'}, {0, 'U'}, {0, 'c'}, {'}', 'L'}, {0, 'Y'}, {0, 'P'}, {0, 'f'},
    {0, 'a'}, {0, 'i'}, {0, 'o'}, {0, 'u'}, {0, 'n'}, {0, 'N'}, {0, 'a'}, {0, 'o'},
    {0, '?'}, {0, '-'}, {0, '-'}, {0, '%'}, {0, '%'}, {0, '!'}, {0, '<'}, {0, '>'},
    // 176..223: shades, single and double lines (double ones drawn single), blocks.
    {'a', ':'}, {'a', '%'}, {'a', '#'}, {'x', '|'}, {'u', '+'}, {'u', '+'}, {'u', '+'}, {'k', '+'},
    {'k', '+'}, {'u', '+'}, {'x', '|'}, {'k', '+'}, {'j', '+'}, {'j', '+'}, {'j', '+'}, {'k', '+'},
    {'m', '+'}, {'v', '+'}, {'w', '+'}, {'t', '+'}, {'q', '-'}, {'n', '+'}, {'t', '+'}, {'t', '+'},
    {'m', '+'}, {'l', '+'}, {'v', '+'}, {'w', '+'}, {'t', '+'}, {'q', '='}, {'n', '+'}, {'v', '+'},
    {'v', '+'}, {'w', '+'}, {'w', '+'}, {'m', '+'}, {'m', '+'}, {'l', '+'}, {'l', '+'}, {'n', '+'},
    {'n', '+'}, {'j', '+'}, {'l', '+'}, {'0', '#'}, {'0', '#'}, {'0', '#'}, {'0', '#'}, {'0', '#'},
    // 224..255: Greek letters and mathematics.
    {0, 'a'}, {0, 'B'}, {0, 'G'}, {'{', 'p'}, {0, 'S'}, {0, 's'}, {0, 'u'}, {0, 't'},
    {0, 'F'}, {0, 'O'}, {0, 'O'}, {0, 'd'}, {0, '8'}, {0, 'f'}, {0, 'e'}, {0, 'n'},
    {0, '='}, {'g', '+'}, {'z', '>'}, {'y', '<'}, {0, '('}, {0, ')'}, {0, '/'}, {0, '~'},
    {'f', 'o'}, {'~', '.'}, {0, '.'}, {0, 'v'}, {0, 'n'}, {0, '2'}, {0, '#'}, {0, ' '},
};

constexpr std::array<GlyphStandIn, 256> build_stand_ins() {
    std::array<GlyphStandIn, 256> table{};
    for (int g = 0; g < 32; ++g) table[g] = low_stand_ins[g];
    for (int g = 32; g < 127; ++g) table[g] = {0, static_cast<char>(g)};
    table[127] = {0, '^'};
    for (int g = 128; g < 256; ++g) table[g] = high_stand_ins[g - 128];
    return table;
}

}  // namespace

const std::array<char32_t, 256> cp437_unicode = build_unicode();
const std::array<GlyphStandIn, 256> cp437_stand_ins = build_stand_ins();

}  // namespace qm
