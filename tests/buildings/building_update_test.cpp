#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "building_fixtures.h"
#include "buildings/building_update.h"
#include "buildings/free_cells.h"
#include "units/unit_world.h"

namespace qm {
namespace {

using test::put_building;
using test::put_effect;
using test::put_unit;
using test::seed_giving;
using test::seed_where;

constexpr int bx = 200;
constexpr int by = 60;

bool beside(const Unit& u, int x, int y) { return std::max(std::abs(u.x - x), std::abs(u.y - y)) == 1; }

// Runs one update from the seed and tells how many draws it made.
int draws_made(Game& g, std::uint32_t seed, int n) {
    g.seed = seed;
    building_update(g);
    std::uint32_t s = seed;
    for (int i = 0; i < 64; ++i) {
        if (s == g.seed) return i;
        random_below(s, n);
    }
    return -1;
}

TEST(BuildingUpdate, NodesReleaseDropsAndCallCitizens) {
    for (std::size_t already : {1500u, 1501u}) {
        Game g;
        map_cell(g, bx, by) = source_cell;
        put_building(g, building_node, 3, bx, by);
        for (std::size_t i = 0; i < already; ++i) put_effect(g, effect_fire, 0, 0, 0, 50);
        // The winning draw is always made; the drop needs room in the effect list.
        EXPECT_EQ(draws_made(g, seed_giving(500, 0), 500), already == 1500u ? 2 : 1);
        ASSERT_EQ(g.effects.size(), 1501u);
        const Effect& drop = *g.effects.back();
        if (already == 1500u) {
            EXPECT_EQ(drop.kind, effect_ooze_drop);
            EXPECT_EQ(drop.faction, 3);
            EXPECT_EQ(drop.x, bx);
            EXPECT_GE(drop.life, 30);
            EXPECT_LT(drop.life, 60);
        }
    }
    {
        // On green floor a node is idle, however rich its faction: not even a draw.
        Game g;
        put_building(g, building_node, 3, bx, by);
        g.ooze_store[3] = 1000;
        EXPECT_EQ(draws_made(g, 77, 500), 0);
    }
    // Two active nodes call for up to four citizens, at 5 ooze each; other factions' citizens
    // do not count.
    const auto world = [](Game& g, int citizens, int store) {
        for (int x : {bx, bx + 10}) {
            map_cell(g, x, by).fg = 3;
            put_building(g, building_node, 3, x, by);
        }
        for (int i = 0; i < citizens; ++i) put_unit(g, unit_citizen, 3, 170, 55, 1);
        for (int i = 0; i < 5; ++i) put_unit(g, unit_citizen, 8, 170, 55, 1);
        g.ooze_store[3] = store;
    };
    std::uint32_t seed = 1;
    for (;; ++seed) {
        Game g;
        world(g, 3, 5);
        g.seed = seed;
        building_update(g);
        if (g.units.size() == 8u) continue;
        ASSERT_EQ(g.units.size(), 9u);
        const Unit& c = *g.units.back();
        EXPECT_EQ(c.kind, unit_citizen);
        EXPECT_EQ(c.faction, 3);
        EXPECT_TRUE(beside(c, bx, by) || beside(c, bx + 10, by));
        EXPECT_EQ(g.ooze_store[3], 0);
        break;
    }
    for (auto [citizens, store] : {std::pair{4, 100}, std::pair{3, 4}}) {
        Game g;
        world(g, citizens, store);
        for (int frame = 0; frame < 2000; ++frame) building_update(g);
        EXPECT_EQ(g.units.size(), static_cast<std::size_t>(citizens + 5));
        EXPECT_EQ(g.ooze_store[3], store);
    }
    // The candidates are listed as the walk meets them, last building first: with two
    // factions calling, random(150) and then random(2) = 0 pick the node listed later. With
    // no candidate the spawner draws nothing.
    {
        Game two;
        for (auto [faction, x] : {std::pair{3, bx}, std::pair{8, bx + 10}}) {
            map_cell(two, x, by) = source_cell;
            put_building(two, building_node, faction, x, by);
            two.ooze_store[faction] = 5;
        }
        two.seed = seed_where({{0, 500, [](int v) { return v != 0; }},
                               {1, 500, [](int v) { return v != 0; }},
                               {2, 150, [](int v) { return v == 0; }},
                               {3, 2, [](int v) { return v == 0; }}});
        building_update(two);
        ASSERT_EQ(two.units.size(), 1u);
        EXPECT_EQ(two.units[0]->faction, 8);
        EXPECT_TRUE(beside(*two.units[0], bx + 10, by));
        EXPECT_EQ(two.ooze_store[8], 0);
        EXPECT_EQ(two.ooze_store[3], 5);
        two.ooze_store[8] = 4;
        two.ooze_store[3] = 4;
        EXPECT_EQ(draws_made(two, seed_giving(500, 7), 500), 2);
    }
    // Boxed in by buildings and the edge of the open area: chosen, but nothing made or paid.
    Game g;
    map_cell(g, 160, 50) = source_cell;
    put_building(g, building_node, 3, 160, 50);
    for (auto [x, y] : {std::pair{161, 50}, std::pair{161, 51}, std::pair{160, 51}}) {
        put_building(g, building_barricade, 3, x, y);
    }
    g.ooze_store[3] = 5;
    for (int frame = 0; frame < 2000; ++frame) building_update(g);
    EXPECT_TRUE(g.units.empty());
    EXPECT_EQ(g.ooze_store[3], 5);
}

TEST(BuildingUpdate, HostileBuildingsBreedUnderTheCensusCaps) {
    const auto bred = [](int kind, int faction, int crowd_kind, int crowd, std::uint32_t seed) {
        auto g = std::make_unique<Game>();
        put_building(*g, kind, faction, bx, by);
        for (int i = 0; i < crowd; ++i) put_unit(*g, crowd_kind, 1, 170, 55);
        g->seed = seed;
        building_update(*g);
        return g;
    };
    const std::uint32_t win1000 = seed_giving(1000, 0);
    auto g = bred(building_corrupted_node, 9, unit_ooze, 499, win1000);
    ASSERT_EQ(g->units.size(), 500u);
    EXPECT_EQ(g->units.back()->kind, unit_ooze);
    EXPECT_EQ(g->units.back()->faction, 9);
    EXPECT_EQ(g->units.back()->hit_points, 1);
    EXPECT_TRUE(beside(*g->units.back(), bx, by));
    EXPECT_EQ(bred(building_corrupted_node, 9, unit_ooze, 500, win1000)->units.size(), 500u);
    EXPECT_EQ(bred(building_barracks, 6, unit_enemy_general, 500, win1000)->units.size(), 500u);
    EXPECT_EQ(bred(building_airfield, 6, unit_enemy_flier, 500, seed_giving(2000, 0))->units.size(), 500u);

    // Faction 6 is tough: a soldier has 3 + 3 hit points, a general 10 + 6; marksmen shoot.
    std::set<int> kinds;
    for (std::uint32_t nth = 0; kinds.size() < 2; nth += 97) {
        auto b = bred(building_barracks, 6, unit_citizen, 0, seed_giving(1000, 0, nth));
        ASSERT_EQ(b->units.size(), 1u);
        const Unit& u = *b->units[0];
        kinds.insert(u.kind);
        EXPECT_EQ(u.max_hit_points, u.kind == unit_enemy_general ? 16 : 6);
        EXPECT_TRUE(beside(u, bx, by));
    }
    EXPECT_EQ(bred(building_barracks, 7, unit_citizen, 0, win1000)->units[0]->ammo, 1);
    // The general's draw comes after the spawn cell is found: here the first pair names a
    // free cell and the draw after it is 0.
    const std::uint32_t general_seed = seed_where({{0, 1000, [](int v) { return v == 0; }},
                                                   {1, 3, [](int v) { return v != 1; }},
                                                   {1, 5, [](int v) { return v != 0; }},
                                                   {3, 5, [](int v) { return v == 0; }}});
    EXPECT_EQ(bred(building_barracks, 6, unit_citizen, 0, general_seed)->units[0]->kind, unit_enemy_general);

    // A flier takes off from the airfield's own cell, finished by nothing.
    auto a = bred(building_airfield, 6, unit_citizen, 0, seed_giving(2000, 0));
    ASSERT_EQ(a->units.size(), 1u);
    EXPECT_EQ(a->units[0]->kind, unit_enemy_flier);
    EXPECT_EQ(a->units[0]->x, bx);
    EXPECT_EQ(a->units[0]->y, by);
    EXPECT_EQ(a->units[0]->max_hit_points, 3);

    // 499 oozes and two winners in one frame: both breed. The later node draws first, then
    // its free-cell pairs, the ooze's eight carry-slot phases and phase, then the other node.
    std::uint32_t found = 0;
    for (std::uint32_t nth = 0; found == 0; ++nth) {
        std::uint32_t s = seed_giving(1000, 0, nth);
        const std::uint32_t seed = s;
        ASSERT_EQ(random_below(s, 1000), 0);
        for (;;) {
            const int a = random_below(s, 3);
            const int b = random_below(s, 3);
            if (a != 1 || b != 1) break;
        }
        for (int i = 0; i < 9; ++i) random_below(s, 500);
        if (random_below(s, 1000) == 0) found = seed;
    }
    Game two;
    put_building(two, building_corrupted_node, 9, bx, by);
    put_building(two, building_corrupted_node, 4, bx + 20, by);
    for (int i = 0; i < 499; ++i) put_unit(two, unit_ooze, 1, 170, 55, 1);
    two.seed = found;
    building_update(two);
    ASSERT_EQ(two.units.size(), 501u);
    EXPECT_EQ(two.units[499]->faction, 4);
    EXPECT_EQ(two.units[500]->faction, 9);
}

TEST(BuildingUpdate, TowersShootTheNearestHostileOncePerHundredFrames) {
    Game g;
    Building& tower = put_building(g, building_tower, 3, bx, by);
    tower.phase = 237;
    tower.links = {5, -1, 8, -1};
    put_unit(g, unit_own_soldier, 3, bx + 1, by);
    put_unit(g, unit_ooze, 2, bx + 11, by);
    put_unit(g, unit_ooze, 2, bx + 10, by + 3);
    put_unit(g, unit_enemy_flier, 2, bx - 4, by - 10);
    std::set<std::pair<int, int>> aims;
    for (int frame = 0; frame < 3000; ++frame) {
        g.frame_counter = frame;
        const std::size_t before = g.effects.size();
        building_update(g);
        ASSERT_EQ(g.effects.size() > before, frame % 100 == 37) << frame;
        if (g.effects.size() == before) continue;
        const Effect& bolt = *g.effects.back();
        EXPECT_EQ(bolt.kind, effect_tower_bolt);
        EXPECT_EQ(bolt.faction, 3);
        EXPECT_EQ(bolt.links, tower.links);
        EXPECT_EQ(bolt.x, bx);
        EXPECT_EQ(bolt.life, 20);
        aims.insert({bolt.vx, bolt.vy});
    }
    // Both at exactly 10 were chosen in turn; the one at 11 never.
    EXPECT_EQ(aims, (std::set<std::pair<int, int>>{{10, 3}, {-4, -10}}));
    // A nearer pair displaces the ties at 10 and is drawn from in turn.
    put_unit(g, unit_boss, 2, bx + 2, by - 2);
    put_unit(g, unit_enemy_soldier, 2, bx - 1, by + 2);
    aims.clear();
    for (int frame = 37; frame < 3000; frame += 100) {
        g.frame_counter = frame;
        building_update(g);
        aims.insert({g.effects.back()->vx, g.effects.back()->vy});
    }
    EXPECT_EQ(aims, (std::set<std::pair<int, int>>{{2, -2}, {-1, 2}}));

    // Off its frame a tower draws nothing, and keys and barricades never do.
    put_building(g, building_key, 3, bx + 5, by);
    put_building(g, building_barricade, 3, bx + 6, by);
    g.frame_counter = 38;
    EXPECT_EQ(draws_made(g, 99, 100), 0);
}

TEST(BuildingUpdate, FreeNeighbourCells) {
    // The open area of a fresh game is columns 160..239 and rows 50..74; units and walls do
    // not take a cell, buildings do.
    Game g;
    put_unit(g, unit_ooze, 1, 160, 50);
    map_cell(g, 239, 50) = Cell{glyph_wall, 7, 0, 0};
    put_building(g, building_tower, 3, 200, 60);
    for (auto [x, y] : {std::pair{160, 50}, std::pair{239, 74}, std::pair{239, 50}}) {
        EXPECT_TRUE(is_free_cell(g, x, y)) << x << "," << y;
    }
    for (auto [x, y] : {std::pair{159, 60}, std::pair{240, 60}, std::pair{200, 49}, std::pair{200, 75},
                        std::pair{200, 60}}) {
        EXPECT_FALSE(is_free_cell(g, x, y)) << x << "," << y;
    }

    // In the corner at (239, 74) with a building to the west only (238, 73) and (239, 73) are
    // free. Pairs are drawn until one names a free cell: (2, 1) lies east, outside, and is
    // drawn again; (1, 0) is the cell straight north.
    put_building(g, building_barricade, 3, 238, 74);
    g.seed = seed_where({{0, 3, [](int v) { return v == 2; }},
                         {2, 3, [](int v) { return v == 1; }},
                         {3, 3, [](int v) { return v == 0; }}});
    std::uint32_t expected = g.seed;
    for (int k = 0; k < 4; ++k) random_step(expected);
    CellPosition cell{};
    ASSERT_TRUE(free_neighbour_cell(g, 239, 74, cell));
    EXPECT_EQ(std::pair(cell.x, cell.y), std::pair(239, 73));
    EXPECT_EQ(g.seed, expected);
    // With every neighbour taken nothing is drawn.
    put_building(g, building_barricade, 3, 238, 73);
    put_building(g, building_barricade, 3, 239, 73);
    const std::uint32_t before = g.seed;
    EXPECT_FALSE(free_neighbour_cell(g, 239, 74, cell));
    EXPECT_EQ(g.seed, before);
}

}  // namespace
}  // namespace qm
