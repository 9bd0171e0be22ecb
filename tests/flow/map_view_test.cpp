#include <gtest/gtest.h>

#include "flow/map_view.h"
#include "support/scripted_terminal.h"
#include "world/lists.h"

namespace qm {
namespace {

// A start-sector window (160, 50) over green floor, with the player unit as element 0.
struct World {
    Game g;
    test::ScriptedTerminal terminal;

    World() {
        g.terminal = &terminal;
        g.seed = 77;
        append_unit(g, Unit{.kind = unit_player, .x = 200, .y = 62, .hit_points = 10});
    }
    Unit& player() { return *g.units[0]; }
    Unit& add_unit(int kind, int faction, int x, int y, int phase = 0) {
        return append_unit(g, Unit{.kind = kind, .faction = faction, .x = x, .y = y, .phase = phase});
    }
    Building& add_building(int kind, int faction, int x, int y) {
        return append_building(g, Building{.kind = kind, .faction = faction, .x = x, .y = y});
    }
    void add_effect(int kind, int faction, int x, int y, int life = 50) {
        append_effect(g, Effect{.kind = kind, .faction = faction, .x = x, .y = y, .life = life});
    }
    // The screen cell over map cell (x, y).
    const Cell& seen(int x, int y) const { return g.screen.at(x - g.view_x, y - g.view_y); }
    const Cell& draw_and_see(std::uint32_t tick, int x, int y) {
        terminal.clock = tick;
        draw_map_view(g);
        return seen(x, y);
    }
};

Cell cell(int glyph, int fg, int bg, int bright) {
    return Cell{static_cast<std::uint8_t>(glyph), static_cast<std::uint8_t>(fg), static_cast<std::uint8_t>(bg),
                static_cast<std::uint8_t>(bright)};
}

TEST(MapView, TerrainAndSweepFront) {
    World w;
    w.player().x = 400;  // off the map: only terrain in the window
    map_cell(w.g, 170, 55) = source_cell;
    map_cell(w.g, 171, 55) = Cell{219, 7, 0, 0};
    const std::uint32_t before = w.g.seed;
    draw_map_view(w.g);
    EXPECT_EQ(w.seen(170, 55), source_cell);
    EXPECT_EQ(w.seen(171, 55), cell(219, 7, 0, 0));
    EXPECT_EQ(w.seen(239, 74), open_ground);
    EXPECT_EQ(w.g.seed, before) << "no sweep, no draws";

    // Front at 200: behind 198 all green-backed and bright, 198..200 one coin per cell in
    // column-major order, beyond untouched.
    w.g.sweep_column = 200;
    std::uint32_t coins = w.g.seed;
    draw_map_view(w.g);
    for (int x = 160; x < 240; ++x) {
        for (int y = 50; y < 75; ++y) {
            const bool shaded = x < 198 || (x <= 200 && random_below(coins, 2) == 0);
            const Cell& c = w.seen(x, y);
            const Cell& under = map_cell(w.g, x, y);
            EXPECT_EQ(c.glyph, under.glyph);
            EXPECT_EQ(c.fg, under.fg);
            EXPECT_EQ(c.bg, shaded ? 2 : under.bg) << x << "," << y;
            EXPECT_EQ(c.bright, shaded ? 1 : under.bright);
        }
    }
    EXPECT_EQ(w.g.seed, coins);
    EXPECT_EQ(w.seen(201, 60), open_ground);
}

TEST(MapView, UnitGlyphsAnimateFromTheTick) {
    // kind, phase, tick, glyph
    const std::array<int, 4> cases[] = {
        {unit_player, 0, 1000, 92},      {unit_player, 0, 1150, 179},     {unit_player, 0, 1250, 47},
        {unit_player, 0, 1399, 196},     {unit_ooze, 100, 299, 'O'},      {unit_ooze, 100, 300, 'o'},
        {unit_citizen, 0, 265, 44},      {unit_citizen, 0, 266, 39},      {unit_citizen, 0, 533, 96},
        {unit_own_soldier, 0, 399, 142}, {unit_own_soldier, 0, 400, 143}, {unit_enemy_soldier, 0, 5, 64},
        {unit_enemy_general, 0, 5, 157}, {unit_enemy_flier, 50, 49, 133}, {unit_enemy_flier, 50, 50, 160},
        {unit_own_general, 0, 799, 159}, {unit_own_general, 0, 800, 156}, {unit_own_flier, 0, 1099, 'Z'},
        {unit_own_flier, 0, 1100, 228},  {unit_boss, 0, 0, '&'},
    };
    for (const auto& [kind, phase, tick, glyph] : cases) {
        World w;
        w.player().x = 400;
        w.add_unit(kind, 4, 170, 55, phase);
        EXPECT_EQ(w.draw_and_see(tick, 170, 55).glyph, glyph) << "kind " << kind << " tick " << tick;
    }

    World w;
    w.add_unit(unit_ooze, 12, 171, 55);
    EXPECT_EQ(w.draw_and_see(0, 200, 62), cell(47, 7, 0, 1));
    EXPECT_EQ(w.seen(171, 55), cell('O', 4, 0, 1));
}

TEST(MapView, LinkCyclingBands) {
    World w;
    Unit& soldier = w.add_unit(unit_enemy_soldier, 3, 170, 55, 100);
    soldier.links = {9, -1, 12, 5};
    // a = tick + 100: own up to 1000, then 9, own (empty link), 12, 5.
    // tick, fg, bright
    const std::array<int, 3> bands[] = {{900, 3, 0},  {901, 1, 1},  {1150, 1, 1}, {1151, 3, 0},
                                        {1401, 4, 1}, {1651, 5, 0}, {1899, 5, 0}, {1900, 3, 0}};
    for (const auto& [tick, fg, bright] : bands) {
        EXPECT_EQ(w.draw_and_see(tick, 170, 55), cell(64, fg, 0, bright)) << tick;
    }
    // tick + phase wraps in 32 bits: 0xFFFFFFF0 + 400 is 384, the own band (unwrapped it
    // would be 1680, the band of links[2]).
    soldier.phase = 400;
    EXPECT_EQ(w.draw_and_see(0xFFFFFFF0u, 170, 55).fg, 3);

    EXPECT_EQ(link_cycle_faction(6, {1, 2, 3, -1}, 1999), 6);
    EXPECT_EQ(link_cycle_faction(6, {1, 2, 3, -1}, 1750), 3);

    // Buildings cycle on the bare tick, with no phase.
    Building& tower = w.add_building(building_tower, 2, 172, 55);
    tower.links = {11, -1, -1, -1};
    tower.phase = 400;
    EXPECT_EQ(w.draw_and_see(1000, 172, 55), cell(227, 2, 0, 0));
    EXPECT_EQ(w.draw_and_see(1001, 172, 55), cell(227, 3, 0, 1));
}

TEST(MapView, BossesAndTheirDraws) {
    World w;
    Unit& boss = w.add_unit(unit_boss, 12, 170, 55);
    boss.flags = unit_megaboss;
    w.terminal.clock = 0;
    std::uint32_t s = w.g.seed;
    const int fg = random_below(s, 8);
    const int bright = random_below(s, 2);
    const int glyph = 176 + random_below(s, 3);
    draw_map_view(w.g);
    EXPECT_EQ(w.seen(170, 55), cell(glyph, fg, 0, bright));
    EXPECT_EQ(w.g.seed, s);

    // A faction-3 boss shimmers between two glyphs on a coin.
    boss.flags = 0;
    boss.faction = 3;
    s = w.g.seed;
    const int glyph3 = 193 + random_below(s, 2);
    draw_map_view(w.g);
    EXPECT_EQ(w.seen(170, 55), cell(glyph3, 3, 0, 0));
    EXPECT_EQ(w.g.seed, s);

    // Every other faction's boss has one glyph and draws nothing for it (faction 0 throws
    // only its colour coin).
    const int still_glyphs[] = {'W', 'S', 'D', -1, '&', '~', 'k', 14, 233, 128, 2, 146, -1, 'L', '0', 'A'};
    for (int faction = 0; faction < 16; ++faction) {
        if (still_glyphs[faction] < 0) continue;
        boss.faction = faction;
        s = w.g.seed;
        if (faction == 0) random_below(s, 2);
        draw_map_view(w.g);
        EXPECT_EQ(w.seen(170, 55).glyph, still_glyphs[faction]) << faction;
        EXPECT_EQ(w.g.seed, s) << faction;
    }
}

TEST(MapView, BuildingsAndCarriedBuildings) {
    World w;
    map_cell(w.g, 170, 55) = source_cell;
    map_cell(w.g, 171, 55) = Cell{'.', 3, 0, 0};  // energised floor
    w.add_building(building_node, 1, 170, 55);
    w.add_building(building_node, 1, 171, 55);
    w.add_building(building_node, 1, 172, 55);  // green floor: inactive
    w.add_building(building_corrupted_node, 10, 173, 55);
    w.add_building(building_key, 0, 174, 55);
    w.add_building(building_barracks, 6, 175, 55);
    w.add_building(building_airfield, 6, 176, 55);
    w.add_building(building_barricade, 9, 177, 55);

    w.terminal.clock = 1049;
    draw_map_view(w.g);
    EXPECT_EQ(w.seen(170, 55), cell(254, 1, 3, 0));
    EXPECT_EQ(w.seen(171, 55), cell(254, 1, 3, 0));
    EXPECT_EQ(w.seen(172, 55), cell(254, 1, 7, 0));
    EXPECT_EQ(w.seen(173, 55), cell('X', 2, 5, 1));
    EXPECT_EQ(w.seen(174, 55), cell(13, 6, 0, 1));
    EXPECT_EQ(w.seen(175, 55), cell(19, 6, 5, 0));
    EXPECT_EQ(w.seen(176, 55), cell(20, 6, 5, 0));
    EXPECT_EQ(w.seen(177, 55), cell(230, 1, 0, 1));

    w.terminal.clock = 1250;
    draw_map_view(w.g);
    EXPECT_EQ(w.seen(170, 55).bg, 1);
    EXPECT_EQ(w.seen(172, 55).bg, 1);
    EXPECT_EQ(w.seen(173, 55), cell(197, 2, 4, 1));
    EXPECT_EQ(w.seen(175, 55).bg, 4);

    // A carried node blinks slowly even over a source; the cross flashes over it.
    Unit& player = w.player();
    player.x = 169;
    player.y = 60;
    map_cell(w.g, 170, 60) = source_cell;
    player.carry_slots[1] = *w.g.buildings[0];
    EXPECT_EQ(w.draw_and_see(1000, 170, 60), cell(254, 1, 7, 0));
    EXPECT_EQ(w.draw_and_see(1600, 170, 60), cell(197, 7, 0, 1));
    // A player just outside the window still shows what it carries inside it.
    player.x = 159;
    EXPECT_EQ(w.draw_and_see(1000, 160, 60).glyph, 254);
    EXPECT_EQ(w.seen(160, 61).glyph, '.');
    EXPECT_EQ(w.g.screen.at(40, 12).glyph, '.');
    // The carried building is drawn right after its carrier, so later units cover it.
    player.x = 169;
    w.add_unit(unit_citizen, 5, 170, 60);
    EXPECT_EQ(w.draw_and_see(1000, 170, 60).glyph, 44);
}

TEST(MapView, EffectsByKindPowerAndLife) {
    // kind, faction (the power of a bolt), life, tick; then the cell seen
    const std::array<int, 8> cases[] = {
        {effect_ooze_drop, 9, 30, 0, 250, 1, 0, 1},   {effect_bolt, 4, 75, 0, 219, 6, 0, 1},
        {effect_bolt, 4, 74, 0, 219, 4, 0, 1},        {effect_bolt, 5, 100, 50, 'X', 5, 0, 1},
        {effect_bolt, 5, 100, 51, 197, 5, 0, 1},      {effect_bolt, 14, 100, 150, '\\', 6, 0, 1},
        {effect_bolt, 14, 100, 199, '/', 6, 0, 1},    {effect_bolt, 11, 100, 0, '*', 3, 0, 1},
        {effect_bolt, 11, 100, 99, 15, 3, 0, 1},      {effect_fire, 0, 50, 0, 219, 4, 0, 1},
        {effect_fire, 0, 25, 0, 219, 4, 0, 0},        {effect_fire, 0, 24, 0, 219, 0, 0, 1},
        {effect_acid_cloud, 0, 80, 0, 219, 5, 0, 1},  {effect_acid_cloud, 0, 50, 0, 178, 5, 0, 1},
        {effect_poison_cloud, 1, 49, 0, 177, 2, 0, 1}, {effect_poison_cloud, 1, 6, 0, 176, 2, 0, 1},
    };
    for (const auto& [kind, faction, life, tick, glyph, fg, bg, bright] : cases) {
        World w;
        w.add_effect(kind, faction, 170, 55, life);
        EXPECT_EQ(w.draw_and_see(tick, 170, 55), cell(glyph, fg, bg, bright)) << "kind " << kind << " life " << life;
    }

    // Shots: the glyph coin follows the colour coin of faction 0, the first glyph on a zero.
    World w;
    w.add_effect(effect_tower_bolt, 0, 170, 55);
    w.add_effect(effect_hostile_shot, 3, 171, 55);
    w.add_effect(effect_friendly_shot, 3, 172, 55);
    w.add_effect(effect_bolt, 1, 200, 62);  // drawn over the player
    std::uint32_t s = w.g.seed;
    const int dark_grey = random_below(s, 2);
    const int a = random_below(s, 2), b = random_below(s, 2), c = random_below(s, 2);
    draw_map_view(w.g);
    EXPECT_EQ(w.seen(170, 55), cell(a ? '>' : '<', 0, 0, dark_grey ? 1 : 0));
    EXPECT_EQ(w.seen(171, 55).glyph, b ? '=' : '-');
    EXPECT_EQ(w.seen(172, 55).glyph, c ? '\\' : '/');
    EXPECT_EQ(w.seen(200, 62), cell('*', 1, 0, 0));

    // An off-map shot is not drawn, not even at the centre where a bad cursor would land.
    w.g.effects.clear();
    w.g.open_min_x = w.g.view_x = 0;
    w.g.open_min_y = w.g.view_y = 0;
    w.add_effect(effect_hostile_shot, 3, -1, 12);
    w.add_effect(effect_hostile_shot, 3, 40, -3);
    const std::uint32_t before = w.g.seed;
    draw_map_view(w.g);
    EXPECT_EQ(w.g.screen.at(40, 12), open_ground);
    EXPECT_EQ(w.g.screen.at(0, 12), open_ground);
    EXPECT_EQ(w.g.seed, before);
}

TEST(MapView, HealthBarAndBanner) {
    World w;
    Unit& player = w.player();
    player.y = 53;  // near the top: bar and banner go to the bottom
    draw_map_view(w.g);
    EXPECT_EQ(w.g.bar_row, 0) << "full health and no countdown: nothing moves";
    EXPECT_EQ(row_text(w.g.screen, 0)[0], '.');

    player.hit_points = 4;
    player.y = 50 + 8;
    draw_map_view(w.g);
    EXPECT_EQ(w.g.bar_row, 0);
    EXPECT_EQ(w.g.screen.at(31, 0).bg, 5);
    EXPECT_EQ(w.g.screen.at(32, 0).bg, 0);
    player.y = 50 + 7;
    draw_map_view(w.g);
    EXPECT_EQ(w.g.bar_row, 24);
    EXPECT_EQ(row_text(w.g.screen, 24), std::string(80, ' '));
    EXPECT_EQ(w.g.screen.at(31, 24).bg, 5);
    EXPECT_EQ(w.g.screen.at(79, 24).bg, 0);
    EXPECT_EQ(row_text(w.g.screen, 0)[0], '.');

    w.g.wave_countdown = 2000;
    w.g.megaboss_type = 6;
    draw_map_view(w.g);
    const std::string banner = "   KURTULMAK IS COMING: 2000   ";
    EXPECT_EQ(row_text(w.g.screen, 23).substr(0, banner.size() + 1), banner + ".");
    EXPECT_EQ(w.g.screen.at(3, 23), cell('K', 6, 0, 0));

    // The dead zone keeps the bar; 17 rows below the top brings it back up.
    player.y = 50 + 16;
    draw_map_view(w.g);
    EXPECT_EQ(w.g.bar_row, 24);
    player.y = 50 + 17;
    player.hit_points = 10;
    w.g.wave_countdown = 7;
    w.g.megaboss_type = 13;
    draw_map_view(w.g);
    EXPECT_EQ(w.g.bar_row, 0);
    EXPECT_EQ(row_text(w.g.screen, 0)[0], '.') << "no bar at full health";
    const std::string countdown = "   DEATH LORD IS COMING: 7" + std::string(6, ' ');
    EXPECT_EQ(row_text(w.g.screen, 1).substr(0, countdown.size() + 1), countdown + ".");
    EXPECT_EQ(w.g.screen.at(3, 1), cell('D', 5, 0, 1));

    w.g.wave_countdown = 42;
    draw_map_view(w.g);
    EXPECT_EQ(row_text(w.g.screen, 1).substr(25, 8), "42     .");

    // The megaboss on the map shows no banner.
    w.g.wave_countdown = -2;
    draw_map_view(w.g);
    EXPECT_EQ(row_text(w.g.screen, 1)[3], '.');
}

}  // namespace
}  // namespace qm
