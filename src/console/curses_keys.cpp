#include "console/curses_keys.h"

#include <utility>

#include <curses.h>

#include "console/keys.h"

namespace qm {
namespace {

// ESC is a key of its own here; a longer wait would delay every quit and every menu close.
constexpr int escape_delay_ms = 25;
// How often a blocking read, or one behind the too-small notice, looks at the quit flag again.
constexpr int poll_interval_ms = 100;
// Longer than any escape sequence a terminal sends for a key.
constexpr int max_sequence_length = 32;

// Keypad keys the console has no code for; read as the characters printed on them.
constexpr int pad_equals = 0x1FB;
constexpr int pad_comma = 0x1FC;
constexpr int console_backspace = 8;

struct Binding {
    const char* sequence;
    int code;
};

// Application-mode keypad (what tmux, screen and xterm send once keypad mode is on, whatever
// their terminfo entries say), keypad 5 and Home/End as the common terminals send them, and
// both forms of the arrows. Unbound, each would arrive as ESC and quit the game.
constexpr Binding key_bindings[] = {
    {"\033Op", pad_zero},        {"\033Oq", pad_lower_left}, {"\033Or", pad_down},
    {"\033Os", pad_lower_right}, {"\033Ot", pad_left},       {"\033Ou", pad_centre},
    {"\033Ov", pad_right},       {"\033Ow", pad_upper_left}, {"\033Ox", pad_up},
    {"\033Oy", pad_upper_right}, {"\033OM", pad_enter},      {"\033Oj", pad_star},
    {"\033Ok", pad_plus},        {"\033Om", pad_minus},      {"\033On", pad_stop},
    {"\033Oo", pad_slash},       {"\033OX", pad_equals},     {"\033Ol", pad_comma},
    {"\033OE", pad_centre},      {"\033[E", pad_centre},     {"\033[G", pad_centre},
    {"\033[H", pad_upper_left},  {"\033OH", pad_upper_left}, {"\033[1~", pad_upper_left},
    {"\033[7~", pad_upper_left}, {"\033[F", pad_lower_left}, {"\033OF", pad_lower_left},
    {"\033[4~", pad_lower_left}, {"\033[8~", pad_lower_left}, {"\033[5~", pad_upper_right},
    {"\033[6~", pad_lower_right}, {"\033[A", key_up},        {"\033OA", key_up},
    {"\033[B", key_down},        {"\033OB", key_down},       {"\033[C", key_right},
    {"\033OC", key_right},       {"\033[D", key_left},       {"\033OD", key_left},
};

// Curses key codes and the console key each one is.
constexpr std::pair<int, int> curses_keys[] = {
    {KEY_UP, key_up},           {KEY_DOWN, key_down},        {KEY_LEFT, key_left},
    {KEY_RIGHT, key_right},     {KEY_A1, pad_upper_left},    {KEY_HOME, pad_upper_left},
    {KEY_FIND, pad_upper_left}, {KEY_A3, pad_upper_right},   {KEY_PPAGE, pad_upper_right},
    {KEY_B2, pad_centre},       {KEY_BEG, pad_centre},       {KEY_C1, pad_lower_left},
    {KEY_END, pad_lower_left},  {KEY_SELECT, pad_lower_left}, {KEY_C3, pad_lower_right},
    {KEY_NPAGE, pad_lower_right}, {KEY_ENTER, pad_enter},    {KEY_IC, pad_zero},
    {KEY_DC, pad_stop},         {KEY_BACKSPACE, console_backspace},
};

// The rest of a CSI sequence (parameters and intermediates up to its final byte) or the one
// character that ends an SS3 sequence.
void skip_sequence(int introducer) {
    if (introducer == 'O') {
        wgetch(stdscr);
        return;
    }
    for (int i = 0; i < max_sequence_length; ++i) {
        const int c = wgetch(stdscr);
        if (c == ERR || (c >= 0x40 && c <= 0x7E)) return;
    }
}

}  // namespace

KeyReader::KeyReader() {
    set_escdelay(escape_delay_ms);
    noecho();
    cbreak();
    intrflush(stdscr, FALSE);
    // Keypad translation stays on from the start: without it an arrow pressed on the title
    // screen would arrive as ESC and end the program.
    keypad(stdscr, TRUE);
    for (const Binding& b : key_bindings) define_key(b.sequence, b.code);
    set_realtime(false);
}

void KeyReader::use_delay(int ms) {
    delay_ms_ = ms;
    wtimeout(stdscr, ms);
}

// Real-time reads return at once; the others wake up now and then to see the quit flag.
void KeyReader::set_realtime(bool on) {
    realtime_ = on;
    use_delay(realtime_ ? 0 : poll_interval_ms);
}

void KeyReader::wait_slowly(bool on) { use_delay(on || !realtime_ ? poll_interval_ms : 0); }

int KeyReader::take_key() {
    const int key = wgetch(stdscr);
    if (key != key_escape) return key;
    wtimeout(stdscr, 0);
    const int next = wgetch(stdscr);
    if (next == '[' || next == 'O') skip_sequence(next);
    wtimeout(stdscr, delay_ms_);
    if (next == ERR || next == key_escape) return key_escape;
    return key_none;
}

int console_key(int curses_key) {
    if (curses_key < 0) return key_none;
    if (curses_key == 127) return console_backspace;  // the terminal's backspace
    if (curses_key < 128) return curses_key;
    if (curses_key < 256) return key_none;  // bytes of non-ASCII text, no key of the game
    if (curses_key == pad_equals) return '=';
    if (curses_key == pad_comma) return ',';
    for (const auto& [code, console] : curses_keys) {
        if (curses_key == code) return console;
    }
    for (const KeypadKey& k : keypad_keys) {  // the codes the bindings above deliver
        if (curses_key == k.code) return k.code;
    }
    return key_none;
}

}  // namespace qm
