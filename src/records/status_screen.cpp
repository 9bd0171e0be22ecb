#include "records/status_screen.h"

#include <algorithm>
#include <vector>

#include "console/pacing.h"
#include "records/statistics.h"
#include "world/factions.h"

namespace qm {
namespace {

constexpr int ooze_per_bar_step = 10;
// A store that can pay for a promotion sparkles.
constexpr int sparkling_store = 250;
constexpr int glyph_ooze = 4;
constexpr int glyph_empty_bar = 250;
constexpr int glyph_affinity = 15;
constexpr int glyph_link = 254;
constexpr int glyph_health = 4;
constexpr int glyph_weapon = 30;
constexpr int glyph_skill = 157;

constexpr int affinity_row = 1, affinity_column = 18;
// Where the four links sit around the affinity: top left, top right, bottom left, bottom right.
constexpr std::array<std::array<int, 2>, 4> link_cells{{{0, 17}, {0, 19}, {2, 17}, {2, 19}}};
constexpr int health_column = 17;
constexpr int weapon_column = 19;
constexpr int first_skill_column = 30;
constexpr int first_level_row = 4;

constexpr int level_cap = 10;
// A skill raised where health or weapon came first in the draw stops at half way.
constexpr int side_skill_cap = 5;

enum class Level { health, weapon, skill };
struct LevelChoice {
    Level level;
    int cap;
};
// Indexed by random(8): which level a promotion entry tries first, then second, then third.
constexpr std::array<std::array<LevelChoice, 3>, 8> promotion_choices{{
    {{{Level::health, level_cap}, {Level::weapon, level_cap}, {Level::skill, side_skill_cap}}},
    {{{Level::weapon, level_cap}, {Level::health, level_cap}, {Level::skill, side_skill_cap}}},
    {{{Level::skill, level_cap}, {Level::weapon, level_cap}, {Level::health, level_cap}}},
    {{{Level::skill, level_cap}, {Level::weapon, level_cap}, {Level::health, level_cap}}},
    {{{Level::skill, level_cap}, {Level::weapon, level_cap}, {Level::health, level_cap}}},
    {{{Level::skill, level_cap}, {Level::health, level_cap}, {Level::weapon, level_cap}}},
    {{{Level::skill, level_cap}, {Level::health, level_cap}, {Level::weapon, level_cap}}},
    {{{Level::skill, level_cap}, {Level::health, level_cap}, {Level::weapon, level_cap}}},
}};
constexpr int health_per_level = 10;

// A level just gained flashes on a background drawn anew on every redraw.
int level_background(Game& game, int level, int old_level) { return level > old_level ? random(game, 8) : 0; }

int bar_height(int store) {
    if (store == 0) return 0;
    // A store below zero has nothing to show; it must not reach above the screen either.
    return std::clamp(store / ooze_per_bar_step + 1, 0, screen_rows);
}

void draw_ooze_bars(Game& game) {
    ScreenBuffer& screen = game.screen;
    for (int f = 0; f < 16; ++f) {
        const int store = game.ooze_store[f];
        const int height = bar_height(store);
        for (int row = 0; row < height; ++row) {
            // The background is drawn before the colour, so faction 0's coin comes second.
            const int background = store >= sparkling_store ? random(game, 8) : 0;
            faction_colour(game, f, background);
            set_cursor(screen, row, f);
            put_glyph(screen, glyph_ooze);
        }
        set_colour(screen, 0, 0, 1);
        for (int row = height; row < screen_rows; ++row) {
            set_cursor(screen, row, f);
            put_glyph(screen, glyph_empty_bar);
        }
    }
}

void draw_allegiance(Game& game, const Unit& player) {
    if (player.affinity == -1) return;
    faction_colour(game, player.affinity, 0);
    set_cursor(game.screen, affinity_row, affinity_column);
    put_glyph(game.screen, glyph_affinity);
    for (std::size_t i = 0; i < link_cells.size(); ++i) {
        if (player.links[i] == -1) continue;
        faction_colour(game, player.links[i], 0);
        set_cursor(game.screen, link_cells[i][0], link_cells[i][1]);
        put_glyph(game.screen, glyph_link);
    }
}

int level_row(int level) { return first_level_row + 2 * (level - 1); }

void draw_levels(Game& game, const Unit& player, const LevelBytes& old) {
    ScreenBuffer& screen = game.screen;
    for (int j = 1; j <= player.health_level; ++j) {
        set_colour(screen, 4, level_background(game, j, old.health_level), 1);
        set_cursor(screen, level_row(j), health_column);
        put_glyph(screen, glyph_health);
    }
    for (int j = 1; j <= player.weapon_level; ++j) {
        set_colour(screen, 6, level_background(game, j, old.weapon_level), 1);
        set_cursor(screen, level_row(j), weapon_column);
        put_glyph(screen, glyph_weapon);
    }
    for (int m = 0; m < 16; ++m) {
        for (int j = 1; j <= player.skill_levels[m]; ++j) {
            faction_colour(game, m, level_background(game, j, old.skill_levels[m]));
            set_cursor(screen, level_row(j), first_skill_column + 2 * m);
            put_glyph(screen, glyph_skill);
        }
    }
}

// Raises at most one level for a promotion entry of faction e: the first choice of the drawn
// row that is still below its cap.
void raise_one_level(Game& game, Unit& player, int e) {
    const auto& choices = promotion_choices[random(game, 8)];
    for (const LevelChoice& choice : choices) {
        if (choice.level == Level::skill && (e < 0 || e >= 16)) continue;  // no such skill
        std::int8_t& level = choice.level == Level::health   ? player.health_level
                             : choice.level == Level::weapon ? player.weapon_level
                                                             : player.skill_levels[e];
        if (level >= choice.cap) continue;
        ++level;
        if (choice.level == Level::health) {
            player.max_hit_points += health_per_level;
            player.hit_points = player.max_hit_points;
        }
        return;
    }
}

// Redraws until a key comes; true for ESC.
bool show_until_key(Game& game, const LevelBytes& old) {
    for (;;) {
        draw_status(game, old);
        const int key = read_normalised_key(game);
        if (key == key_escape) return true;
        if (key != key_none) return false;
        game.terminal->wait_until(game.terminal->tick_ms() + frame_ms);
    }
}

}  // namespace

LevelBytes levels_of(const Unit& unit) { return {unit.health_level, unit.weapon_level, unit.skill_levels}; }

void draw_status(Game& game, const LevelBytes& old) {
    clear_screen(game.screen);
    draw_ooze_bars(game);
    if (!game.units.empty()) {
        const Unit& player = *game.units[0];
        draw_allegiance(game, player);
        draw_levels(game, player, old);
    }
    flush_screen(game);
}

bool show_status(Game& game) {
    const LevelBytes now = game.units.empty() ? LevelBytes{} : levels_of(*game.units[0]);
    return show_until_key(game, now);
}

bool promote(Game& game, int faction, int top_left, int top_right, int bottom_left, int bottom_right) {
    if (game.units.empty()) return false;
    Unit& player = *game.units[0];
    const LevelBytes old = levels_of(player);

    // Each linked node joins the promotion one time in four; its draw is made even where no
    // node is linked.
    std::vector<int> entries{faction};
    for (const int linked : {top_left, top_right, bottom_left, bottom_right}) {
        if (random(game, 4) == 0 && linked != -1) entries.push_back(linked);
    }
    for (const int e : entries) raise_one_level(game, player, e);
    record_promotion(game, player);

    return show_until_key(game, old);
}

}  // namespace qm
