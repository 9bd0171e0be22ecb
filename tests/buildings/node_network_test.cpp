#include <gtest/gtest.h>

#include "buildings/node_network.h"
#include "world/lists.h"

namespace qm {
namespace {

Building& add_node(Game& g, int x, int y, int kind = building_node) {
    Building b;
    b.kind = kind;
    b.faction = 7;
    b.x = x;
    b.y = y;
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
    EXPECT_EQ(level(g, 208, 61), 1);
    EXPECT_EQ(level(g, 212, 63), 1);
    EXPECT_EQ(level(g, 211, 60), 1);
    EXPECT_EQ(level(g, 209, 64), 1);
    EXPECT_EQ(map_cell(g, 208, 61).bg, 0);
    EXPECT_TRUE(none_visited(g));

    // Set down on level-0 floor a node does nothing until the walk reaches it.
    Building& far = add_node(g, 216, 66);
    network_walk(g, far, true);
    EXPECT_EQ(level(g, 214, 65), 0);
    EXPECT_EQ(level(g, 218, 67), 0);

    // A node on a lit cell turns on and lights its own targets; the source stays a source.
    Building& second = add_node(g, 212, 63);
    network_walk(g, second, true);
    EXPECT_TRUE(is_source(map_cell(g, 210, 62)));
    EXPECT_EQ(level(g, 214, 64), 1);
    EXPECT_EQ(level(g, 213, 61), 1);
    EXPECT_EQ(level(g, 211, 65), 1);
    EXPECT_EQ(level(g, 212, 63), 1);  // the second node's own cell is not touched

    // Withdrawing the first node darkens (212, 63), and the second node is withdrawn first.
    network_walk(g, first, false);
    for (auto [x, y] : {std::pair{208, 61}, {212, 63}, {211, 60}, {209, 64}, {214, 64},
                        {213, 61}, {211, 65}}) {
        EXPECT_EQ(level(g, x, y), 0) << x << "," << y;
    }
    EXPECT_TRUE(none_visited(g));
}

TEST(NodeNetwork, LevelsSaturateCyclesEndAndOddCellsAreLeftAlone) {
    Game g;
    map_cell(g, 50, 50) = source_cell;
    Building& node = add_node(g, 50, 50);
    for (int feed = 1; feed <= 5; ++feed) {
        network_walk(g, node, true);
        EXPECT_EQ(level(g, 48, 49), std::min(feed, 4)) << feed;
    }
    EXPECT_EQ(map_cell(g, 48, 49), (Cell{'.', 6, 0, 1}));
    network_walk(g, node, false);
    EXPECT_EQ(level(g, 48, 49), 3);  // saturation lost a feed: four raises remain, but level 3

    // Two floor nodes that feed each other: each is visited once per call.
    Game c;
    map_cell(c, 100, 50) = floor_levels[1];
    Building& a = add_node(c, 100, 50);
    add_node(c, 102, 51);
    network_walk(c, a, true);
    EXPECT_EQ(level(c, 102, 51), 1);
    EXPECT_EQ(level(c, 100, 50), 2);  // fed back by the second node
    EXPECT_EQ(level(c, 104, 52), 1);
    EXPECT_TRUE(none_visited(c));

    // Off-map targets are skipped; walls and non-node kinds are not touched.
    Game e;
    map_cell(e, 1, 0) = source_cell;
    map_cell(e, 3, 1) = Cell{219, 7, 0, 0};
    Building& edge = add_node(e, 1, 0);
    network_walk(e, edge, true);
    EXPECT_EQ(map_cell(e, 3, 1), (Cell{219, 7, 0, 0}));
    EXPECT_EQ(level(e, 0, 2), 1);
    map_cell(e, 30, 30) = source_cell;
    Building& tower = add_node(e, 30, 30, building_tower);
    network_walk(e, tower, true);
    EXPECT_EQ(level(e, 28, 29), 0);
    EXPECT_TRUE(none_visited(e));
}

}  // namespace
}  // namespace qm
