#include <gtest/gtest.h>

#include "buildings/node_network.h"
#include "world/lists.h"

namespace qm {
namespace {

Building& add_node(Game& g, int x, int y, int kind = building_node) {
    Building b;
    b.kind = kind, b.x = x, b.y = y;
    return append_building(g, b);
}

int level(const Game& g, int x, int y) { return floor_level(map_cell(g, x, y)); }

bool none_visited(const Game& g) {
    for (const auto& b : g.buildings) {
        if ((b->flags & static_cast<std::int32_t>(building_visited)) != 0) return false;
    }
    return true;
}

TEST(NodeNetwork, RaisingSpreadsAndWithdrawalCollapsesOutward) {
    Game g;
    map_cell(g, 210, 62) = source_cell;
    Building& first = add_node(g, 210, 62);
    network_walk(g, first, true);
    for (auto [x, y] : {std::pair{208, 61}, {212, 63}, {211, 60}, {209, 64}}) {
        EXPECT_EQ(level(g, x, y), 1);
    }
    Building& far = add_node(g, 216, 66);  // on green floor: nothing until the walk reaches it
    network_walk(g, far, true);
    EXPECT_EQ(level(g, 214, 65), 0);
    Building& second = add_node(g, 212, 63);  // on a lit cell: turns on, the source stays
    network_walk(g, second, true);
    EXPECT_TRUE(is_source(map_cell(g, 210, 62)));
    EXPECT_EQ(level(g, 214, 64), 1);
    // The second node is withdrawn before its cell goes dark, so its own links drop too.
    network_walk(g, first, false);
    for (auto [x, y] : {std::pair{208, 61}, {212, 63}, {214, 64}, {213, 61}, {211, 65}}) {
        EXPECT_EQ(level(g, x, y), 0) << x << "," << y;
    }
    EXPECT_TRUE(none_visited(g));
}

TEST(NodeNetwork, SaturationCyclesAndEdges) {
    Game g;
    map_cell(g, 50, 50) = source_cell;
    Building& node = add_node(g, 50, 50);
    for (int feed = 1; feed <= 5; ++feed) {
        network_walk(g, node, true);
        EXPECT_EQ(level(g, 48, 49), std::min(feed, 4));
    }
    network_walk(g, node, false);
    EXPECT_EQ(level(g, 48, 49), 3);  // the fifth feed was lost at the ceiling

    // Two floor nodes feeding each other: each visited once per call, marks cleared after.
    map_cell(g, 100, 50) = floor_levels[1];
    Building& a = add_node(g, 100, 50);
    add_node(g, 102, 51);
    network_walk(g, a, true);
    EXPECT_EQ(level(g, 100, 50), 2);
    EXPECT_EQ(level(g, 104, 52), 1);
    EXPECT_TRUE(none_visited(g));

    // Off-map targets are skipped, walls untouched; only nodes walk.
    map_cell(g, 1, 0) = source_cell;
    map_cell(g, 3, 1) = Cell{219, 7, 0, 0};
    network_walk(g, add_node(g, 1, 0), true);
    EXPECT_EQ(map_cell(g, 3, 1), (Cell{219, 7, 0, 0}));
    EXPECT_EQ(level(g, 0, 2), 1);
    map_cell(g, 30, 30) = source_cell;
    network_walk(g, add_node(g, 30, 30, building_tower), true);
    EXPECT_EQ(level(g, 28, 29), 0);
}

}  // namespace
}  // namespace qm
