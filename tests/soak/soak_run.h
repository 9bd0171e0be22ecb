// One soak run: a seeded game played headless by the soak terminal, frame after frame, through
// defeats into new games, with the invariants checked after every frame and on every modal
// screen. Between frames a director steps in through the game's own functions: ooze for the
// stores now and then, so every purchase gets bought; an end to each game after a while, so
// defeats come; and in some games a rush through the stages to the megaboss and past it.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "soak/soak_terminal.h"

namespace qm::soak {

struct SoakOptions {
    std::uint32_t seed = 1;
    std::uint64_t frames = 10000;
    // Where the records sequence keeps its "score.dat".
    std::filesystem::path score_directory;
    // A game's citizens are struck down after this many frames (drawn between the two); a
    // game that rushes lives three times as long, for the megaboss to come and go.
    int shortest_game = 1500;
    int longest_game = 12000;
    // One game in this many rushes through the stages (0: none does).
    int rush_one_in = 3;
};

// Purchases by their menu key: q w e a d z c.
constexpr std::string_view purchase_keys = "qweadzc";

struct SoakReport {
    std::uint64_t frames = 0;
    std::uint64_t checks = 0;
    std::uint64_t games = 0;
    std::uint64_t megabosses_arrived = 0;
    std::uint64_t megabosses_defeated = 0;
    std::uint64_t menu_followed = 0;
    std::uint64_t ooze_given = 0;
    // The most units the list held after any frame.
    std::uint64_t most_units = 0;
    std::array<std::uint64_t, 7> purchases{};
    std::array<std::uint64_t, screen_count> shown{};
    // Empty when every invariant held to the end; otherwise what broke, and when.
    std::string failure;

    void add(const SoakReport& other);
};

SoakReport run_soak(const SoakOptions& options);

// A directory of its own for one run's score file, removed with it.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace qm::soak
