#include "flow/sector_assignment.h"

#include "console/pacing.h"
#include "world/factions.h"
#include "world/lists.h"

namespace qm {
namespace {

void draw_background(Game& game) {
    faction_colour(game, game.player_faction, 0);
    // Faction 0's colour is black on black: the coin is still thrown, the shades vanish.
    if (game.player_faction == 0) set_colour(game.screen, 0, 0, 0);
    for (int c = 0; c < screen_columns; ++c) {
        for (int r = 0; r < screen_rows - 1; ++r) {
            set_cursor(game.screen, r, c);
            const std::uint32_t n = static_cast<std::uint32_t>(random(game, 300));
            const std::uint32_t t = game.terminal->tick_ms();
            put_glyph(game.screen, 176 + static_cast<int>(((n + t) / 3000 + c % 4 + r) % 3));
        }
    }
}

void draw_strip(Game& game) {
    for (int j = 0; j < 16; ++j) {
        faction_colour(game, j, 0);
        set_cursor(game.screen, 24, 5 * j);
        if (j == game.player_faction) {
            for (int k = 0; k < 5; ++k) put_glyph(game.screen, random(game, 2) == 0 ? 219 : 220);
        } else {
            for (int glyph : {176, 177, 178, 177, 176}) put_glyph(game.screen, glyph);
        }
    }
}

}  // namespace

bool sector_assignment_frame(Game& game) {
    frame_begin(*game.terminal, game.frame_start);
    draw_background(game);
    draw_strip(game);
    // The pen still holds faction 15's white.
    put_centred(game.screen, 1, "Sector Assignment:");
    put_centred(game.screen, 3, faction_names[game.player_faction].group);
    put_centred(game.screen, 4, faction_names[game.player_faction].sub);
    flush_screen(game);

    const int key = read_normalised_key(game);
    if (key == '4') {
        game.player_faction = (game.player_faction + 15) % 16;
    } else if (key == '6') {
        game.player_faction = (game.player_faction + 1) % 16;
    } else if (key == key_escape) {
        return true;
    } else if (key != key_none) {
        start_new_game(game);
    }
    frame_end(*game.terminal, game.frame_start);
    return false;
}

void start_new_game(Game& game) {
    game.game_mode = 1;

    Unit player = fresh_unit(game, unit_player);
    player.faction = game.player_faction;
    player.x = 200;
    player.y = 62;
    player.hit_points = 10;
    player.max_hit_points = 10;
    append_unit(game, player);

    lay_start_sector(game);
}

void lay_start_sector(Game& game) {
    for (int y : {61, 63}) {
        Unit citizen = fresh_unit(game, unit_citizen);
        citizen.faction = game.player_faction;
        citizen.x = 205;
        citizen.y = y;
        citizen.phase = random(game, 500);
        append_unit(game, citizen);
    }

    Building node = fresh_building(game);
    node.kind = building_node;
    node.faction = game.player_faction;
    node.x = 205;
    node.y = 62;
    append_building(game, node);

    Building corrupted = fresh_building(game);
    corrupted.kind = building_corrupted_node;
    corrupted.faction = random(game, 16);
    corrupted.x = 165;
    corrupted.y = 62;
    append_building(game, corrupted);

    game.view_y = game.open_min_y = game.open_max_y = 50;
    map_cell(game, 210, 62) = source_cell;
    game.view_x = game.open_min_x = game.open_max_x = 160;

    // Only the glyph changes: the start walls keep the green of open ground.
    for (int x = 160; x <= 239; ++x) {
        map_cell(game, x, 50).glyph = glyph_wall;
        map_cell(game, x, 74).glyph = glyph_wall;
    }
    for (int y = 50; y <= 74; ++y) {
        map_cell(game, 160, y).glyph = glyph_wall;
        map_cell(game, 239, y).glyph = glyph_wall;
    }

    lay_sector_grid(game);
}

void lay_sector_grid(Game& game) {
    game.sector_grid.fill(0);
    game.sector_grid[2 * 5 + 2] = 1;
    int sx = 2, sy = 2, label = 2, group = 1, remaining = 24;
    while (remaining > 0) {
        if (random(game, 2) != 0) {
            sx += 2 * random(game, 2) - 1;
        } else {
            sy += 2 * random(game, 2) - 1;
        }
        sx = sx < 0 ? 0 : (sx > 4 ? 4 : sx);
        sy = sy < 0 ? 0 : (sy > 4 ? 4 : sy);
        auto& entry = game.sector_grid[sx * 5 + sy];
        if (entry == 0) {
            entry = static_cast<std::uint8_t>(label);
            --remaining;
            if (--group == 0) {
                ++label;
                group = random(game, 3) + 1;
            }
        }
    }
}

}  // namespace qm
