#include <gtest/gtest.h>

#include <tuple>

#include "flow/sector_assignment.h"
#include "menus/megaboss_victory.h"
#include "records/statistics.h"
#include "support/scripted_terminal.h"
#include "world/lists.h"

namespace qm {
namespace {

// A game deep into its cycle: more units, buildings and effects, a grown player, a wide map.
void cycle_in_progress(Game& g) {
    g.seed = 31337;
    g.player_faction = 4;
    start_new_game(g);
    Unit& player = *g.units[0];
    player.x = 300;
    player.faction = player.affinity = 9;
    player.links = {1, 2, 3, 4};
    player.health_level = 3;
    player.skill_levels[5] = 4;
    player.max_hit_points = 40;
    player.hit_points = 7;
    player.carry_slots[2].kind = building_tower;
    for (int i = 0; i < 5; ++i) {
        Unit ooze = fresh_unit(g);
        ooze.kind = unit_ooze;
        ooze.target_unit = &player;
        append_unit(g, ooze);
    }
    player.target_unit = g.units[4].get();
    player.target_building = g.buildings[1].get();
    append_building(g, fresh_building(g)).kind = building_barracks;
    append_effect(g, fresh_effect());
    map_cell(g, 10, 10) = Cell{219, 7, 0, 0};
    g.open_min_x = 0;
    g.open_max_x = 320;
    g.open_max_y = 100;
    g.view_x = 240;
    g.view_y = 75;
    g.sweep_column = 250;
    g.ooze_store[4] = 80;
    g.cycle_ooze[4] = 900;
    bump(g.current_statistics, stat_total_gathered, 900);
    g.megaboss_type = 11;
    g.megabosses_defeated = 2;
    g.stage = 7;
    g.more_sectors = g.open_menu = 0;
    g.wave_countdown = -2;
    g.frame_counter = 4321;
    g.bar_row = 24;
}

TEST(MegabossVictory, OnlyHContinuesAndTheNextCycleStartsFresh) {
    Game g;
    test::ScriptedTerminal t;
    g.terminal = &t;
    cycle_in_progress(g);
    t.keys_at(0, {'x'});
    t.keys_at(2, {'H'});
    std::uint32_t s = g.seed;
    EXPECT_FALSE(megaboss_victory(g));

    ASSERT_EQ(t.frames(), 3u);
    const std::string text = "YOU HAVE DEFEATED THE MEGABOSS.  PRESS H TO TAKE ON THE NEXT ONE.";
    for (std::size_t f = 0; f < 3; ++f) EXPECT_EQ(t.frame_text(f).substr(12 * 81 + 7, text.size()), text);

    // A new colour on every pass, foreground then brightness; then the citizens (eight carry
    // slots and a phase each), the node, the corrupted node with its faction after its phase,
    // and the walk.
    const Cell& letter = t.last_screen().at(7, 12);
    for (int pass = 0; pass < 3; ++pass) {
        const int fg = random_below(s, 8);
        const int bright = random_below(s, 2);
        if (pass == 2) {
            EXPECT_EQ(std::tuple(int{letter.glyph}, int{letter.fg}, int{letter.bg}, int{letter.bright}),
                      std::tuple(int{'Y'}, fg, 0, bright));
        }
    }
    int citizen_phases[2] = {};
    for (int& phase : citizen_phases) {
        for (int i = 0; i < 8; ++i) random_below(s, 500);
        phase = random_below(s, 500);
    }
    const int node_phase = random_below(s, 500);
    const int corrupted_phase = random_below(s, 500);
    const int corrupted_faction = random_below(s, 16);
    Game walk;
    walk.seed = s;
    lay_sector_grid(walk);
    s = walk.seed;

    ASSERT_EQ(g.units.size(), 3u);
    const Unit& player = *g.units[0];
    EXPECT_EQ(std::tuple(player.x, player.y, player.hit_points, player.faction, player.affinity),
              std::tuple(200, 62, 40, 9, 9));
    EXPECT_EQ(player.links, (std::array<std::int32_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(std::tuple(player.health_level, player.skill_levels[5], player.carry_slots[2].kind),
              std::tuple(std::int8_t{3}, std::int8_t{4}, std::int32_t{building_tower}));
    EXPECT_EQ(player.target_unit, nullptr);
    EXPECT_EQ(player.target_building, nullptr);
    for (int i : {1, 2}) {
        EXPECT_EQ(std::tuple(g.units[i]->kind, g.units[i]->faction, g.units[i]->x, g.units[i]->y),
                  std::tuple(unit_citizen, 4, 205, 59 + 2 * i));
        EXPECT_EQ(g.units[i]->phase, citizen_phases[i - 1]);
    }
    ASSERT_EQ(g.buildings.size(), 2u);
    EXPECT_EQ(std::tuple(g.buildings[0]->phase, g.buildings[1]->phase), std::tuple(node_phase, corrupted_phase));
    EXPECT_EQ(std::tuple(g.buildings[0]->kind, g.buildings[0]->faction, g.buildings[0]->x),
              std::tuple(building_node, 4, 205));
    EXPECT_EQ(std::tuple(g.buildings[1]->kind, g.buildings[1]->faction, g.buildings[1]->x),
              std::tuple(building_corrupted_node, corrupted_faction, 165));
    EXPECT_TRUE(g.effects.empty());

    EXPECT_EQ(map_cell(g, 10, 10), open_ground);
    EXPECT_TRUE(is_source(map_cell(g, 210, 62)));
    EXPECT_EQ(map_cell(g, 239, 70), (Cell{219, 2, 0, 0}));
    EXPECT_EQ(g.open_min_x, 160);
    EXPECT_EQ(g.open_max_y, 50);
    EXPECT_EQ(std::tuple(g.open_max_x, g.open_min_y, g.view_x, g.view_y), std::tuple(160, 50, 160, 50));
    EXPECT_EQ(g.sector_grid, walk.sector_grid);

    EXPECT_EQ(g.ooze_store[4], 0);
    EXPECT_EQ(g.cycle_ooze[4], 0);
    EXPECT_EQ(g.current_statistics.counters[stat_total_gathered], 900u);
    EXPECT_EQ(g.current_statistics.counters[stat_megaboss_kills + 11], 1u);
    EXPECT_EQ(g.current_statistics.counters[stat_sectors_cleared], 1u);
    const int next_type = random_below(s, 16);
    EXPECT_EQ(std::tuple(g.megabosses_defeated, g.megaboss_type, g.stage, g.more_sectors, g.wave_countdown),
              std::tuple(3, next_type, 1, std::uint8_t{1}, -1));
    EXPECT_EQ(std::tuple(g.sweep_column, g.frame_counter, g.open_menu, g.bar_row),
              std::tuple(-1, 0, -1, std::uint8_t{0}));
    EXPECT_EQ(g.seed, s);
}

TEST(MegabossVictory, EscapeQuitsAndLeavesTheWorld) {
    Game g;
    test::ScriptedTerminal t;
    g.terminal = &t;
    cycle_in_progress(g);
    t.keys_at(1, {27});
    EXPECT_TRUE(megaboss_victory(g));
    EXPECT_EQ(t.frames(), 2u);
    EXPECT_EQ(g.units.size(), 8u);
    EXPECT_EQ(g.megabosses_defeated, 2);
    EXPECT_EQ(g.current_statistics.counters[stat_sectors_cleared], 0u);
}

}  // namespace
}  // namespace qm
