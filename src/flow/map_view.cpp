#include "flow/map_view.h"

#include <string>
#include <string_view>

#include "units/combat.h"
#include "world/directions.h"
#include "world/factions.h"

namespace qm {
namespace {

// The player's piece is a bar turning a quarter every 100 ms.
constexpr std::array<int, 4> player_bar_glyphs{47, 196, 92, 179};
// The citizen's comma bounces through three heights in 0.8 s.
constexpr std::array<int, 3> citizen_glyphs{44, 39, 96};
constexpr std::array<std::uint32_t, 2> citizen_bounds{266, 533};

enum class UnitPen { white, faction, link_cycling };

// Two-frame animation: the first glyph while (tick + phase) mod period < split, then the
// second. A still glyph has both the same.
struct UnitLook {
    UnitPen pen;
    std::uint32_t period;
    std::uint32_t split;
    int first;
    int second;
};

// Indexed by unit kind. The player, the citizen and the boss pick their glyphs their own way.
constexpr std::array<UnitLook, 10> unit_looks{{
    {UnitPen::white, 1, 1, 0, 0},
    {UnitPen::faction, 800, 400, 'O', 'o'},
    {UnitPen::faction, 1, 1, 0, 0},
    {UnitPen::link_cycling, 800, 400, 142, 143},
    {UnitPen::link_cycling, 1, 1, 64, 64},
    {UnitPen::link_cycling, 1, 1, 157, 157},
    {UnitPen::link_cycling, 200, 100, 133, 160},
    {UnitPen::link_cycling, 800, 400, 156, 159},
    {UnitPen::link_cycling, 200, 100, 'Z', 228},
    {UnitPen::link_cycling, 1, 1, 0, 0},
}};

// A boss looks like its faction; two of them shimmer between neighbouring glyphs, drawn anew
// on every frame (glyph = base + random(spread)).
struct BossGlyph {
    int base;
    int spread;
};
constexpr std::array<BossGlyph, faction_count> boss_glyphs{{
    {'W', 1}, {'S', 1}, {'D', 1}, {193, 2}, {'&', 1}, {'~', 1}, {'k', 1}, {14, 1},
    {233, 1}, {128, 1}, {2, 1}, {146, 1}, {176, 3}, {'L', 1}, {'0', 1}, {'A', 1},
}};

// Link cycling bands on a mod 2000: own colour up to 1000, then one band of 250 per link.
constexpr std::array<std::uint32_t, 4> link_band_ends{1250, 1500, 1750, 2000};

constexpr int glyph_carried_flash = 197;
constexpr std::uint32_t carried_flash_period = 800;
constexpr std::uint32_t carried_flash_on = 200;

struct Colour {
    int fg, bg, bright;
};

// Fire and the flame bolt cool from yellow through red to dark grey; clouds thin out.
constexpr std::array<int, 3> ramp_bounds{75, 50, 25};
constexpr std::array<Colour, 4> flame_ramp{{{6, 0, 1}, {4, 0, 1}, {4, 0, 0}, {0, 0, 1}}};
constexpr std::array<int, 4> density_ramp{219, 178, 177, 176};
constexpr Colour acid_colour{5, 0, 1};
constexpr Colour poison_colour{2, 0, 1};
constexpr Colour harm_bolt_colour{5, 0, 1};


// Shots flip between two glyphs on a coin; the first is shown on a zero.
struct ShotGlyphs {
    int kind;
    int on_zero;
    int on_non_zero;
};
constexpr std::array<ShotGlyphs, 3> shot_glyphs{{
    {effect_tower_bolt, '<', '>'},
    {effect_hostile_shot, '-', '='},
    {effect_friendly_shot, '/', '\\'},
}};

constexpr int glyph_ooze_drop = 250;
constexpr int glyph_flame = 219;

constexpr int glyph_node = 254;
constexpr int glyph_tower = 227;
constexpr int glyph_key = 13;
constexpr int glyph_barracks = 19;
constexpr int glyph_airfield = 20;
constexpr int glyph_barricade = 230;
constexpr Colour key_colour{6, 0, 1};

constexpr int bar_segments = 10;
constexpr int bar_segment_width = 8;
constexpr int bar_health_bg = 5;
constexpr int full_health = 10;
// Rows of the window the player must come within before the bar moves to the other edge.
constexpr int bar_top_zone_end = 7;
constexpr int bar_bottom_zone_start = 17;
constexpr std::uint8_t bar_row_top = 0;
constexpr std::uint8_t bar_row_bottom = 24;

constexpr std::array<std::string_view, faction_count> megaboss_banners{{
    "   THE OHM SOUL IS COMING: ",
    "   GINORMOUS SERPENT IS COMING: ",
    "   ELDER DRAGON IS COMING: ",
    "   FLESH MEGAGRINDER IS COMING: ",
    "   DEMON PRINCE IS COMING: ",
    "   WORM OF AGES IS COMING: ",
    "   KURTULMAK IS COMING: ",
    "   ROCKET DREADNOUGHT IS COMING: ",
    "   STEEL MEGASTOMPER IS COMING: ",
    "   MASSIVE SWORDROID IS COMING: ",
    "   MUTANT MEGAFACE IS COMING: ",
    "   METAL SUBLIME IS COMING: ",
    "   THE SAND SHAPER IS COMING: ",
    "   DEATH LORD IS COMING: ",
    "   ELECTRICAL STORM IS COMING: ",
    "   DARK ANGEL QUEEN IS COMING: ",
}};

// Every animation reads the clock afresh, so a slow frame animates as it goes.
std::uint32_t tick(Game& game) { return game.terminal->tick_ms(); }

// (tick + phase) mod n in unsigned 32-bit arithmetic, as the clock wraps.
std::uint32_t phased(Game& game, std::int32_t phase, std::uint32_t n) {
    return (tick(game) + static_cast<std::uint32_t>(phase)) % n;
}

void pen(Game& game, Colour c) { set_colour(game.screen, c.fg, c.bg, c.bright); }

int ramp_step(int life) {
    int step = 0;
    while (step < static_cast<int>(ramp_bounds.size()) && life < ramp_bounds[step]) ++step;
    return step;
}

bool in_window(const Game& game, int x, int y) {
    const int column = x - game.view_x;
    const int row = y - game.view_y;
    return column >= 0 && column < screen_columns && row >= 0 && row < screen_rows;
}

void cursor_at_cell(Game& game, int x, int y) { set_cursor(game.screen, y - game.view_y, x - game.view_x); }

void draw_terrain(Game& game) {
    const int s = game.sweep_column;
    for (int x = game.view_x; x < game.view_x + screen_columns; ++x) {
        for (int y = game.view_y; y < game.view_y + screen_rows; ++y) {
            // The view is kept inside the open area, so this only guards a broken viewport.
            if (!on_map(x, y)) continue;
            const Cell& cell = map_cell(game, x, y);
            set_colour(game.screen, cell.fg, cell.bg, cell.bright);
            // Swept ground turns green behind a ragged front three columns wide.
            if (s >= 0 && (x < s - 2 || (x <= s && random(game, 2) == 0))) {
                game.screen.pen.bg = 2;
                game.screen.pen.bright = 1;
            }
            cursor_at_cell(game, x, y);
            put_glyph(game.screen, cell.glyph);
        }
    }
}

void draw_buildings(Game& game) {
    for (const auto& b : game.buildings) {
        if (!in_window(game, b->x, b->y)) continue;
        cursor_at_cell(game, b->x, b->y);
        draw_building(game, *b, b->x, b->y);
    }
}

int unit_glyph(Game& game, const Unit& u) {
    switch (u.kind) {
    case unit_player: return player_bar_glyphs[(tick(game) % 400) / 100];
    case unit_citizen: {
        const std::uint32_t a = phased(game, u.phase, 800);
        std::size_t i = 0;
        while (i < citizen_bounds.size() && a >= citizen_bounds[i]) ++i;
        return citizen_glyphs[i];
    }
    case unit_boss: {
        if (u.faction < 0 || u.faction >= faction_count) return '?';
        const BossGlyph g = boss_glyphs[u.faction];
        return g.spread > 1 ? g.base + random(game, g.spread) : g.base;
    }
    default: {
        const UnitLook& look = unit_looks[u.kind];
        return phased(game, u.phase, look.period) < look.split ? look.first : look.second;
    }
    }
}

void draw_unit(Game& game, const Unit& u) {
    if (u.kind < 0 || u.kind >= static_cast<int>(unit_looks.size())) return;
    cursor_at_cell(game, u.x, u.y);
    switch (unit_looks[u.kind].pen) {
    case UnitPen::white: set_colour(game.screen, 7, 0, 1); break;
    case UnitPen::faction: faction_colour(game, u.faction, 0); break;
    case UnitPen::link_cycling:
        faction_colour(game, link_cycle_faction(u.faction, u.links, phased(game, u.phase, 2000)), 0);
        break;
    }
    // A megaboss flickers through every colour.
    if (u.kind == unit_boss && (u.flags & unit_megaboss) != 0) {
        game.screen.pen.fg = static_cast<std::uint16_t>(random(game, 8));
        game.screen.pen.bright = static_cast<std::uint8_t>(random(game, 2));
    }
    put_glyph(game.screen, unit_glyph(game, u));
}

void draw_carried(Game& game, const Unit& u) {
    for (int d = 0; d < 8; ++d) {
        const Building& slot = u.carry_slots[d];
        if (slot.empty()) continue;
        const Offset o = direction_offset(d);
        const int x = u.x + o.dx;
        const int y = u.y + o.dy;
        if (!in_window(game, x, y)) continue;
        cursor_at_cell(game, x, y);
        if (tick(game) % carried_flash_period < carried_flash_on) {
            set_colour(game.screen, 7, 0, 1);
            put_glyph(game.screen, glyph_carried_flash);
        } else {
            draw_building(game, slot, -1, -1);
        }
    }
}

void draw_units(Game& game) {
    // A unit's carried buildings follow it directly, so whatever comes later in the list
    // stands over them.
    for (const auto& u : game.units) {
        if (in_window(game, u->x, u->y)) draw_unit(game, *u);
        draw_carried(game, *u);
    }
}

// Twinkles between two glyphs, the first for the first 51 ms of every 100.
int twinkle(Game& game, int first, int second) { return tick(game) % 100 <= 50 ? first : second; }

void draw_bolt(Game& game, const Effect& e) {
    const int power = e.faction;
    switch (power) {
    case power_thorns:
        pen(game, flame_ramp[ramp_step(e.life)]);
        put_glyph(game.screen, glyph_flame);
        return;
    case power_harm:
        pen(game, harm_bolt_colour);
        put_glyph(game.screen, twinkle(game, 'X', 197));
        return;
    case power_shock:
        faction_colour(game, power, 0);
        put_glyph(game.screen, twinkle(game, '\\', '/'));
        return;
    default:
        faction_colour(game, power, 0);
        put_glyph(game.screen, twinkle(game, '*', 15));
        return;
    }
}

void draw_effect(Game& game, const Effect& e) {
    cursor_at_cell(game, e.x, e.y);
    switch (e.kind) {
    case effect_ooze_drop:
        faction_colour(game, e.faction, 0);
        put_glyph(game.screen, glyph_ooze_drop);
        return;
    case effect_bolt: draw_bolt(game, e); return;
    case effect_fire:
        pen(game, flame_ramp[ramp_step(e.life)]);
        put_glyph(game.screen, glyph_flame);
        return;
    case effect_acid_cloud:
    case effect_poison_cloud:
        pen(game, e.kind == effect_acid_cloud ? acid_colour : poison_colour);
        put_glyph(game.screen, density_ramp[ramp_step(e.life)]);
        return;
    default:
        for (const ShotGlyphs& shot : shot_glyphs) {
            if (shot.kind != e.kind) continue;
            // The pen comes first: a faction-0 shot throws its colour coin before its glyph coin.
            faction_colour(game, e.faction, 0);
            put_glyph(game.screen, random(game, 2) != 0 ? shot.on_non_zero : shot.on_zero);
            return;
        }
        return;
    }
}

void draw_effects(Game& game) {
    // An off-map shot is never inside the window, which lies within the map.
    for (const auto& e : game.effects) {
        if (in_window(game, e->x, e->y)) draw_effect(game, *e);
    }
}

void put_countdown(Game& game, int count) {
    const std::string digits = std::to_string(count);
    put_text(game.screen, digits);
    put_text(game.screen, "  ");
    // Pads the number and its spaces to 7 columns so a shrinking count leaves no trail.
    const std::size_t n = digits.size();
    const int pad = (n <= 4) + (n <= 3) + (n <= 2) + (n < 2);
    for (int i = 0; i < pad; ++i) put_text(game.screen, " ");
}

void draw_bar_and_banner(Game& game) {
    if (game.units.empty()) return;
    const Unit& player = *game.units[0];
    if (player.hit_points >= full_health && game.wave_countdown <= 0) return;

    // The bar keeps away from the player's half, with a dead zone in the middle rows so it
    // does not flap while the player walks there.
    const int row = player.y - game.view_y;
    if (row <= bar_top_zone_end && game.bar_row == bar_row_top) game.bar_row = bar_row_bottom;
    if (row >= bar_bottom_zone_start && game.bar_row == bar_row_bottom) game.bar_row = bar_row_top;

    if (player.hit_points < full_health) {
        for (int j = 1; j <= bar_segments; ++j) {
            game.screen.pen.bg = player.hit_points >= j ? bar_health_bg : 0;
            set_cursor(game.screen, game.bar_row, bar_segment_width * (j - 1));
            put_text(game.screen, "        ");
        }
    }

    if (game.wave_countdown > 0) {
        faction_colour(game, game.megaboss_type, 0);
        set_cursor(game.screen, game.bar_row == bar_row_bottom ? 23 : 1, 0);
        if (game.megaboss_type >= 0 && game.megaboss_type < faction_count) {
            put_text(game.screen, megaboss_banners[game.megaboss_type]);
        }
        put_countdown(game, game.wave_countdown);
    }
}

}  // namespace

int link_cycle_faction(int faction, const std::array<std::int32_t, 4>& links, std::uint32_t a) {
    if (a <= 1000) return faction;
    for (std::size_t i = 0; i < links.size(); ++i) {
        if (a <= link_band_ends[i]) return links[i] == -1 ? faction : links[i];
    }
    return faction;
}

void draw_building(Game& game, const Building& b, int x, int y) {
    // Hostile buildings throb red and magenta.
    const auto blink_bg = [&game] { return tick(game) % 100 < 50 ? 5 : 4; };
    const auto link_pen = [&game, &b] {
        faction_colour(game, link_cycle_faction(b.faction, b.links, tick(game) % 2000), 0);
    };
    switch (b.kind) {
    case building_node: {
        // A carried node has no ground under it and blinks as inactive.
        const bool active = x != -1 && on_map(x, y) && is_active_ground(map_cell(game, x, y));
        const int bg = active ? (tick(game) % 100 >= 50 ? 1 : 3) : (tick(game) % 500 >= 250 ? 1 : 7);
        faction_colour(game, b.faction, bg);
        put_glyph(game.screen, glyph_node);
        return;
    }
    case building_corrupted_node:
        faction_colour(game, b.faction, blink_bg());
        put_glyph(game.screen, tick(game) % 400 >= 200 ? 'X' : 197);
        return;
    case building_tower:
        link_pen();
        put_glyph(game.screen, glyph_tower);
        return;
    case building_key:
        pen(game, key_colour);
        put_glyph(game.screen, glyph_key);
        return;
    case building_barracks:
        faction_colour(game, b.faction, blink_bg());
        put_glyph(game.screen, glyph_barracks);
        return;
    case building_airfield:
        faction_colour(game, b.faction, blink_bg());
        put_glyph(game.screen, glyph_airfield);
        return;
    case building_barricade:
        link_pen();
        put_glyph(game.screen, glyph_barricade);
        return;
    default: return;
    }
}

void draw_map_view(Game& game) {
    clear_screen(game.screen);
    draw_terrain(game);
    draw_buildings(game);
    draw_units(game);
    draw_effects(game);
    draw_bar_and_banner(game);
}

}  // namespace qm
