// Keys as the game sees them: the low byte of what the terminal read, 0 for nothing, then
// normalised so that arrows and the keypad look like the digit keys.
#pragma once

namespace qm {

constexpr int key_escape = 27;
constexpr int key_none = 0;

// The console's codes for the cursor keys and the keypad, as a terminal hands them on.
constexpr int key_down = 0x102, key_up = 0x103, key_left = 0x104, key_right = 0x105;
constexpr int pad_upper_left = 0x1C1, pad_up = 0x1C2, pad_upper_right = 0x1C3;
constexpr int pad_left = 0x1C4, pad_centre = 0x1C5, pad_right = 0x1C6;
constexpr int pad_lower_left = 0x1C7, pad_down = 0x1C8, pad_lower_right = 0x1C9;
constexpr int pad_slash = 0x1CA, pad_enter = 0x1CB, pad_stop = 0x1CE, pad_star = 0x1CF;
constexpr int pad_minus = 0x1D0, pad_plus = 0x1D1, pad_zero = 0x1FA;

// Each of those codes and the key it becomes: the arrows and the keypad as the digits and signs
// printed on them.
struct KeypadKey {
    int code, becomes;
};
constexpr KeypadKey keypad_keys[] = {
    {key_down, '2'},        {key_up, '8'},        {key_left, '4'},         {key_right, '6'},
    {pad_upper_left, '7'},  {pad_up, '8'},        {pad_upper_right, '9'},  {pad_left, '4'},
    {pad_centre, '5'},      {pad_right, '6'},     {pad_lower_left, '1'},   {pad_down, '2'},
    {pad_lower_right, '3'}, {pad_zero, '0'},      {pad_stop, '.'},         {pad_enter, '\n'},
    {pad_plus, '+'},        {pad_minus, '-'},     {pad_star, '*'},         {pad_slash, '/'},
};

// Keeps the low byte of a raw terminal key code.
inline int key_low_byte(int raw) { return raw & 0xFF; }

// Letters to lower case, then the low bytes of the arrow and keypad codes to what they become.
int normalise_key(int key);

}  // namespace qm
