// The shape of a statistics block: 448 unsigned counters and a 15-byte holder name for each.
// The same shape holds the game in progress and the best values ever (the score file's payload).
#pragma once

#include <array>
#include <cstdint>

namespace qm {

constexpr int counter_count = 448;
constexpr int holder_name_size = 15;

struct StatisticsBlock {
    std::array<std::uint32_t, counter_count> counters{};
    std::array<std::array<char, holder_name_size>, counter_count> holders{};
};

}  // namespace qm
