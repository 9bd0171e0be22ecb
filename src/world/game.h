// The one Game object: every piece of mutable state of a run. Free functions take Game& first;
// two Games with the same seed, keys and clock stay identical frame by frame.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "console/keys.h"
#include "console/random.h"
#include "console/screen_buffer.h"
#include "console/terminal.h"
#include "records/statistics_block.h"
#include "world/map.h"
#include "world/records.h"
#include "world/world_index.h"

namespace qm {

struct Game {
    // The terminal this run draws to and reads from; not owned, never part of the state.
    Terminal* terminal = nullptr;
    // Where "score.dat" is kept: the working directory, or a test's own directory.
    std::string score_directory = ".";

    std::uint32_t seed = 0;
    ScreenBuffer screen;
    std::uint32_t frame_start = 0;

    MapCells map{};
    std::array<std::uint8_t, sectors_across * sectors_down> sector_grid{};
    std::int32_t open_min_x = 160, open_max_x = 160, open_min_y = 50, open_max_y = 50;
    std::int32_t view_x = 160, view_y = 50;

    std::int32_t game_mode = 0;
    std::int32_t player_faction = 7;
    std::int32_t megaboss_type = 0;
    std::int32_t open_menu = -1;
    std::int32_t menu_building = 0;
    std::int32_t wave_countdown = -1;
    std::int32_t sweep_column = -1;
    std::int32_t stage = 1;
    std::uint8_t more_sectors = 1;
    std::int32_t megabosses_defeated = 0;
    std::int32_t frame_counter = 0;
    std::uint8_t bar_row = 0;
    // One per box of the open menu, indexed 3 * (dx + 1) + (dy + 1); a purchase lights its box.
    std::array<std::int32_t, 9> menu_flash{};

    std::array<std::int32_t, 16> cycle_ooze{};
    std::array<std::int32_t, 16> ooze_store{};
    StatisticsBlock current_statistics{};
    StatisticsBlock record_statistics{};

    // Owning lists in creation order; element 0 of units is the player unit during a game.
    std::vector<std::unique_ptr<Unit>> units;
    std::vector<std::unique_ptr<Building>> buildings;
    std::vector<std::unique_ptr<Effect>> effects;

    // Where each unit, building and cloud stands, kept by whatever changes the lists or moves
    // a record; the busy walks go through it.
    WorldIndex index;

    Game() { map.fill(open_ground); }
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
};

inline int random(Game& game, int n) { return random_below(game.seed, n); }

inline Cell& map_cell(Game& game, int x, int y) { return game.map[map_index(x, y)]; }
inline const Cell& map_cell(const Game& game, int x, int y) { return game.map[map_index(x, y)]; }

// Sends the screen buffer to the terminal.
inline void flush_screen(Game& game) { game.terminal->present(game.screen); }
// One key, low byte only, 0 when none; not yet normalised.
inline int read_key(Game& game) { return key_low_byte(game.terminal->read_key()); }
// One key, read and normalised, as every screen after the title reads it.
inline int read_normalised_key(Game& game) { return normalise_key(read_key(game)); }

}  // namespace qm
