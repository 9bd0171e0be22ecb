#include "console/keys.h"

#include <array>
#include <utility>

namespace qm {
namespace {

// Low byte of the curses key code, and what it becomes.
constexpr std::array<std::pair<int, int>, 20> keypad_keys{{
    {0x02, '2'}, {0x03, '8'}, {0x04, '4'}, {0x05, '6'},  // cursor down, up, left, right
    {0xC1, '7'}, {0xC2, '8'}, {0xC3, '9'}, {0xC4, '4'}, {0xC5, '5'}, {0xC6, '6'},
    {0xC7, '1'}, {0xC8, '2'}, {0xC9, '3'}, {0xFA, '0'}, {0xCE, '.'}, {0xCB, '\n'},
    {0xD1, '+'}, {0xD0, '-'}, {0xCF, '*'}, {0xCA, '/'},
}};

}  // namespace

int normalise_key(int key) {
    if (key >= 'A' && key <= 'Z') key += 32;
    for (const auto& [code, becomes] : keypad_keys) {
        if (key == code) return becomes;
    }
    return key;
}

}  // namespace qm
