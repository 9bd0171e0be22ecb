#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "support/world_builders.h"
#include "buildings/node_network.h"

namespace qm::test {

TEST(NodeNetwork, LevelsSaturateAndWithdrawalCollapsesOutward) {
    Game g;
    const auto level = [&](int x, int y) { return floor_level(map_cell(g, x, y)); };
    const auto visited = [](const auto& b) { return (b->flags & building_visited) != 0; };
    const auto none_visited = [&] { return std::none_of(g.buildings.begin(), g.buildings.end(), visited); };
    map_cell(g, 210, 62) = source_cell;
    Building& first = put_building(g, building_node, 0, 210, 62);
    network_walk(g, first, true);
    for (auto [x, y] : {std::pair{208, 61}, {212, 63}, {211, 60}, {209, 64}}) EXPECT_EQ(level(x, y), 1);
    // On green floor a node waits for the walk to reach it; on a lit cell it turns on at once.
    network_walk(g, put_building(g, building_node, 0, 216, 66), true);
    EXPECT_EQ(level(214, 65), 0);
    network_walk(g, put_building(g, building_node, 0, 212, 63), true);
    EXPECT_TRUE(is_source(map_cell(g, 210, 62)));
    EXPECT_EQ(level(214, 64), 1);
    // The second node is withdrawn before its cell goes dark, so its own links drop too.
    network_walk(g, first, false);
    for (auto [x, y] : {std::pair{208, 61}, {212, 63}, {214, 64}, {213, 61}, {211, 65}}) EXPECT_EQ(level(x, y), 0) << x;
    EXPECT_TRUE(none_visited());

    // Five feeds leave a cell at 4, and one withdrawal then takes it to 3.
    map_cell(g, 50, 50) = source_cell;
    Building& node = put_building(g, building_node, 0, 50, 50);
    for (int feed = 1; feed <= 5; ++feed) network_walk(g, node, true);
    EXPECT_EQ(map_cell(g, 48, 49), (Cell{'.', 6, 0, 1}));  // level 4: bright brown floor
    network_walk(g, node, false);
    EXPECT_EQ(level(48, 49), 3);
    // Two floor nodes feeding each other: each visited once per call, marks cleared after.
    map_cell(g, 100, 50) = floor_levels[1];
    Building& a = put_building(g, building_node, 0, 100, 50);
    put_building(g, building_node, 0, 102, 51);
    network_walk(g, a, true);
    EXPECT_EQ(std::tuple(level(100, 50), level(104, 52)), std::tuple(2, 1));
    EXPECT_TRUE(none_visited());
    // Off-map targets are skipped, walls untouched; only nodes walk.
    map_cell(g, 1, 0) = map_cell(g, 30, 30) = source_cell;
    map_cell(g, 3, 1) = Cell{219, 7, 0, 0};
    network_walk(g, put_building(g, building_node, 0, 1, 0), true);
    network_walk(g, put_building(g, building_tower, 0, 30, 30), true);
    EXPECT_EQ(std::tuple(map_cell(g, 3, 1), level(0, 2), level(28, 29)), std::tuple(Cell{219, 7, 0, 0}, 1, 0));
}

}  // namespace qm::test
