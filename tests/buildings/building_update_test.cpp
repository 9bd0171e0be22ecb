#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <tuple>

#include "support/world_builders.h"
#include "buildings/building_update.h"
#include "buildings/free_cells.h"
#include "units/pathing.h"

namespace qm::test {

// Inside the open area of a fresh game: columns 160..239, rows 50..74.
constexpr int bx = 200, by = 60;

TEST(BuildingUpdate, BreedingUnderTheCapsOnFreeCells) {
    // Two active nodes call for up to four citizens of their faction, at 5 ooze each; other
    // factions' citizens do not count, and a node on green floor is idle however rich. Boxed
    // in by buildings and the edge of the open area, a node is called but makes nothing.
    const auto called = [](int citizens, int store, int boxed_store) {
        auto g = std::make_unique<Game>();
        for (int x : {bx, bx + 10}) map_cell(*g, x, by).fg = 3, put_building(*g, building_node, 3, x, by);
        put_building(*g, building_node, 8, bx + 20, by);
        map_cell(*g, 160, 50) = source_cell;
        put_building(*g, building_node, 9, 160, 50);
        for (auto [x, y] : {std::pair{161, 50}, {161, 51}, {160, 51}}) put_building(*g, building_barricade, 9, x, y);
        for (int i = 0; i < citizens + 5; ++i) put_unit(*g, unit_citizen, i < citizens ? 3 : 8, 170, 55);
        g->ooze_store[3] = store, g->ooze_store[8] = 1000, g->ooze_store[9] = boxed_store;
        for (int frame = 0; frame < 2000; ++frame) building_update(*g);
        return g;
    };
    const auto full = called(4, 100, 5), poor = called(3, 4, 0), g = called(3, 5, 0);
    EXPECT_EQ(std::tuple(full->units.size(), full->ooze_store[3], full->ooze_store[9]), std::tuple(9u, 100, 5));
    EXPECT_EQ(std::tuple(poor->units.size(), poor->ooze_store[3]), std::tuple(8u, 4));
    ASSERT_EQ(g->units.size(), 9u);
    const Unit& c = *g->units.back();
    EXPECT_EQ(std::tuple(c.kind, c.faction, g->ooze_store[3], g->ooze_store[8]), std::tuple(unit_citizen, 3, 0, 1000));
    EXPECT_TRUE(distance(c.x, c.y, bx, by) == 1 || distance(c.x, c.y, bx + 10, by) == 1);

    // A node that calls is answered one frame in 150, drawn after the node's own one-in-500
    // drop: a seed just inside that chance, and one just outside it (inside one in 149).
    Game one;
    map_cell(one, bx, by).fg = 3, put_building(one, building_node, 3, bx, by);
    for (const auto& [n, answered] : {std::pair{150, 1u}, {149, 0u}}) {
        one.seed = seed_on_edge(n, {500}), one.ooze_store[3] = 5;
        building_update(one);
        EXPECT_EQ(one.units.size(), answered) << n;
        clear_units(one);
    }

    // Corrupted nodes, barracks and airfields breed while their group, counted before any
    // building acts, is below 500.
    const auto bred = [](int kind, int crowd_kind, int crowd, std::uint32_t seed) {
        auto g = std::make_unique<Game>();
        put_building(*g, kind, 6, bx, by);
        for (int i = 0; i < crowd; ++i) put_unit(*g, crowd_kind, 1, 170, 55);
        g->seed = seed;
        building_update(*g);
        return g;
    };
    const std::uint32_t win1000 = seed_giving(1000, 0), win2000 = seed_giving(2000, 0);
    const auto o = bred(building_corrupted_node, unit_ooze, 499, win1000);
    const Unit& ooze = *o->units.back();
    EXPECT_EQ(std::tuple(o->units.size(), ooze.kind, ooze.faction, ooze.hit_points, distance(ooze.x, ooze.y, bx, by)),
              std::tuple(500u, unit_ooze, 6, 1, 1));
    EXPECT_EQ(bred(building_corrupted_node, unit_ooze, 500, win1000)->units.size(), 500u);
    EXPECT_EQ(bred(building_barracks, unit_enemy_general, 500, win1000)->units.size(), 500u);
    EXPECT_EQ(bred(building_airfield, unit_enemy_flier, 500, win2000)->units.size(), 500u);
    // Faction 6 is tough: a soldier has 3 + 3 hit points, a general 10 + 6. A flier takes
    // off from the airfield's own cell.
    const auto b = bred(building_barracks, unit_citizen, 0, win1000);
    EXPECT_EQ(b->units.at(0)->max_hit_points, b->units.at(0)->kind == unit_enemy_general ? 16 : 6);
    const auto a = bred(building_airfield, unit_citizen, 0, win2000);
    const Unit& flier = *a->units.at(0);
    EXPECT_EQ(std::tuple(flier.kind, flier.x, flier.y, flier.max_hit_points), std::tuple(unit_enemy_flier, bx, by, 3));

    // 499 oozes and two corrupted nodes winning in the same frame: both breed, the node listed
    // later first.
    Game two;
    put_building(two, building_corrupted_node, 9, bx, by);
    put_building(two, building_corrupted_node, 4, bx + 20, by);
    for (int i = 0; i < 499; ++i) put_unit(two, unit_ooze, 1, 170, 55, 1);
    for (std::uint32_t seed = 1; seed < 100'000'000u && two.units.size() < 501; ++seed) {
        std::uint32_t s = seed;
        if (random_below(s, 1000) != 0) continue;
        while (two.units.size() > 499) remove_unit(two, two.units.size() - 1);
        two.seed = seed;
        building_update(two);
    }
    ASSERT_EQ(two.units.size(), 501u);
    EXPECT_EQ(std::tuple(two.units[499]->faction, two.units[500]->faction), std::tuple(4, 9));

    // In the corner of the open area at (239, 74), with a building to the west, the cells to
    // the north are free even under a unit or a wall; with those built over, nothing is drawn.
    Game f;
    put_building(f, building_barricade, 3, 238, 74);
    put_unit(f, unit_ooze, 1, 238, 73);
    map_cell(f, 239, 73) = Cell{glyph_wall, 7, 0, 0};
    std::set<std::pair<int, int>> cells;
    CellPosition cell{};
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        f.seed = spread_seed(seed);
        ASSERT_TRUE(free_neighbour_cell(f, 239, 74, cell));
        cells.insert({cell.x, cell.y});
    }
    EXPECT_EQ(cells, (std::set<std::pair<int, int>>{{238, 73}, {239, 73}}));
    put_building(f, building_barricade, 3, 238, 73), put_building(f, building_barricade, 3, 239, 73);
    const std::uint32_t before = f.seed;
    EXPECT_FALSE(free_neighbour_cell(f, 239, 74, cell));
    EXPECT_EQ(f.seed, before);
}

}  // namespace qm::test
