#include <gtest/gtest.h>

#include "world/directions.h"
#include "world/factions.h"
#include "world/lists.h"

namespace qm {
namespace {

// A record that goes is forgotten by every unit that aimed at it, its carried buildings too;
// an open node menu keeps to its node as the list closes up; a list that grows keeps its
// records where they were, and removal closes the gap in order.
TEST(Lists, GrowthAndRemovalKeepEveryReferenceRight) {
    Game g;
    for (int i = 0; i < 4; ++i) {
        Building b = fresh_building(g);
        b.x = i;
        append_building(g, b);
    }
    for (int i = 0; i < 3; ++i) append_unit(g, fresh_unit(g, unit_citizen));
    Unit& hunted = *g.units[2];
    Building& stand = *g.buildings[2];
    g.units[1]->target_unit = &hunted;
    g.units[1]->target_building = &stand;
    g.units[0]->target_building = &hunted.carry_slots[2];
    remove_unit(g, 2);
    EXPECT_EQ(std::tuple(g.units[1]->target_unit, g.units[0]->target_building, g.units[1]->target_building),
              std::tuple(nullptr, nullptr, &stand));
    g.open_menu = 0;
    g.menu_building = 2;
    remove_building(g, 3);  // after it: nothing moves
    remove_building(g, 0);  // before it: the index follows the node
    EXPECT_EQ(std::tuple(g.open_menu, g.buildings[g.menu_building].get()), std::tuple(0, &stand));
    remove_building(g, 1);  // the node itself: the menu closes
    EXPECT_EQ(std::tuple(g.open_menu, g.units[1]->target_building), std::tuple(-1, nullptr));
    g.open_menu = 1;  // a hint menu remembers no node
    remove_building(g, 0);
    EXPECT_EQ(std::pair(g.open_menu, g.menu_building), std::pair(1, 1));
    const Unit* first = g.units[0].get();
    for (int i = 2; i < 100; ++i) {
        Unit u = fresh_unit(g, unit_citizen);
        u.x = i;
        append_unit(g, u);
    }
    remove_unit(g, 1);
    EXPECT_EQ(std::tuple(g.units[0].get(), g.units.size(), g.units[1]->x, g.units[98]->x),
              std::tuple(first, 99u, 2, 99));
}

TEST(World, DirectionsAndFactionColours) {
    for (int i = 0; i < 8; ++i) EXPECT_EQ(direction_of(direction_offset(i).dx, direction_offset(i).dy), i);
    // Off the table, the vertical offset stands in: no step at all reads as direction 0.
    EXPECT_EQ(std::tuple(direction_of(-1, -1), direction_of(0, 0), direction_of(2, -1)), std::tuple(7, 0, -1));
    // Faction 12 is bright red; faction 0 black or dark grey at the toss of a coin, drawn each time.
    Game g;
    faction_colour(g, 12, 3);
    EXPECT_EQ(std::tuple(g.screen.pen.fg, g.screen.pen.bg, g.screen.pen.bright), std::tuple(4, 3, 1));
    std::uint32_t seed = g.seed;
    faction_colour(g, 0, 0);
    EXPECT_EQ(std::tuple(g.screen.pen.fg, g.screen.pen.bright), std::tuple(0, random_below(seed, 2)));
    EXPECT_EQ(g.seed, seed);
}

}  // namespace
}  // namespace qm
