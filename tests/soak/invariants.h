// What must hold in a game between any two frames, whatever the player pressed: the player
// unit in its place, every reference pointing at a live record, every kind and faction in
// range, an open node menu that stays on its node inside the building list, a map made only of cells the
// game lays, no walk mark left behind and every cycle ooze accounted for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "world/game.h"

namespace qm::soak {

class InvariantChecker {
public:
    // Checks the game as it stands; false, with the first broken invariant in failure(), when
    // any does not hold. Called between frames and whenever a modal screen is shown.
    bool check(Game& game);
    // The map, the costliest check by far, is read on every n-th call only (1: on every one).
    void set_map_period(int n) { map_period_ = n < 1 ? 1 : n; }

    // Invariants that held, counted once per invariant and call.
    std::uint64_t checks_passed() const { return checks_passed_; }
    const std::string& failure() const { return failure_; }
    // Times an open node menu was seen to follow its node down the list.
    std::uint64_t menu_followed() const { return menu_followed_; }

private:
    bool lists_in_place(const Game& game);
    bool records_in_range(const Game& game);
    bool targets_alive(const Game& game);
    bool menu_inside_list(const Game& game);
    bool map_cells_laid(const Game& game);
    bool no_walk_marks(const Game& game);
    bool cycle_ooze_gathered(const Game& game);
    bool fail(std::string message);

    int map_period_ = 1;
    std::uint64_t calls_ = 0;
    std::uint64_t checks_passed_ = 0;
    // The node whose menu is open, as it was when the menu opened.
    const Building* menu_node_ = nullptr;
    std::int32_t menu_index_ = 0;
    std::uint64_t menu_followed_ = 0;
    std::string failure_;
    // The gathered total when the current megaboss cycle began, and what tells a new one.
    std::uint32_t gathered_at_cycle_start_ = 0;
    std::int32_t last_game_mode_ = 0;
    std::int32_t last_megabosses_defeated_ = 0;
    std::vector<const Unit*> units_by_address_;
    std::vector<const Building*> buildings_by_address_;
};

// Whether the game ever lays this cell on its map.
bool is_laid_map_cell(const Cell& cell);

}  // namespace qm::soak
