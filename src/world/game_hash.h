// A hash of the whole state of a Game (not the terminal): the replay tests compare it frame by
// frame. References between records are hashed as list indexes, never as addresses.
#pragma once

#include <cstdint>

#include "world/game.h"

namespace qm {

std::uint64_t game_hash(const Game& game);

}  // namespace qm
