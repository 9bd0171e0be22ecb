#include "console/keys.h"

namespace qm {

int normalise_key(int key) {
    if (key >= 'A' && key <= 'Z') key += 32;
    for (const KeypadKey& k : keypad_keys) {
        if (key == key_low_byte(k.code)) return k.becomes;
    }
    return key;
}

}  // namespace qm
