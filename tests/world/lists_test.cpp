#include <gtest/gtest.h>

#include "world/directions.h"
#include "world/factions.h"
#include "world/lists.h"

namespace qm {
namespace {

TEST(Lists, FreshRecordsAndGrowth) {
    Game g;
    g.seed = 1;
    const Unit u = fresh_unit(g);
    EXPECT_EQ(u.hit_points, 1);
    EXPECT_EQ(u.max_hit_points, 1);
    EXPECT_EQ(u.ammo, 10);
    EXPECT_EQ(u.fuel, 1000);
    EXPECT_EQ(u.affinity, -1);
    EXPECT_EQ(u.haste, 0);
    EXPECT_EQ(u.poison, 0);
    EXPECT_EQ(u.confusion, 0);
    EXPECT_EQ(u.slow, 0);
    EXPECT_EQ(u.health_level, 0);
    EXPECT_EQ(u.weapon_level, 0);
    for (const std::int8_t level : u.skill_levels) EXPECT_EQ(level, 0);
    EXPECT_EQ(u.links, (std::array<std::int32_t, 4>{-1, -1, -1, -1}));
    EXPECT_EQ(u.flags, 0u);
    EXPECT_EQ(u.target_building, nullptr);
    EXPECT_EQ(u.target_unit, nullptr);
    // The eight slots, in slot order, each with its own phase as the building initialiser
    // draws it.
    std::uint32_t slot_seed = 1;
    for (const Building& slot : u.carry_slots) {
        EXPECT_TRUE(slot.empty());
        EXPECT_EQ(slot.phase, random_below(slot_seed, 500));
        EXPECT_EQ(slot.hit_points, 10);
        EXPECT_EQ(slot.flags, 0);
        EXPECT_EQ(slot.links, (std::array<std::int32_t, 4>{-1, -1, -1, -1}));
    }
    const Effect e = fresh_effect();
    EXPECT_EQ(e.kind, -1);
    EXPECT_EQ(e.generation, 0);
    EXPECT_EQ(e.first_step, 1);

    // The unit initialiser draws one phase per carry slot.
    std::uint32_t expected = 1;
    for (int i = 0; i < 8; ++i) random_below(expected, 500);
    EXPECT_EQ(g.seed, expected);

    append_unit(g, u);
    EXPECT_EQ(g.units.capacity(), 1u);
    append_unit(g, u);
    EXPECT_EQ(g.units.capacity(), 2u);
    append_unit(g, u);
    EXPECT_EQ(g.units.capacity(), 4u);
    remove_unit(g, 2);
    EXPECT_EQ(g.units.capacity(), 4u);
    const auto* storage = g.units.data();
    append_unit(g, u);  // room is left where the last one went: no new storage
    EXPECT_EQ(g.units.capacity(), 4u);
    EXPECT_EQ(g.units.data(), storage);
    clear_units(g);
    EXPECT_EQ(g.units.capacity(), 4u);  // nothing ever shrinks a list

    // A building draws its one phase.
    const std::uint32_t seed_before = g.seed;
    const Building b = fresh_building(g);
    std::uint32_t one = seed_before;
    EXPECT_EQ(b.phase, random_below(one, 500));
    EXPECT_EQ(g.seed, one);
    EXPECT_EQ(b.kind, building_none);
}

TEST(Lists, RemovalClearsEveryReference) {
    Game g;
    Building b = fresh_building(g);
    b.kind = building_node;
    b.x = 5;
    b.y = 6;
    append_building(g, b);
    Building& stand = *g.buildings[0];
    for (int i = 0; i < 4; ++i) append_unit(g, fresh_unit(g));
    Unit& hunted = *g.units[3];
    g.units[1]->target_unit = &hunted;
    g.units[2]->target_unit = &hunted;
    g.units[1]->target_building = &stand;
    g.units[2]->target_building = &stand;
    g.units[0]->target_building = &g.units[3]->carry_slots[2];

    remove_unit(g, 3);
    EXPECT_EQ(g.units[1]->target_unit, nullptr);
    EXPECT_EQ(g.units[2]->target_unit, nullptr);
    EXPECT_EQ(g.units[1]->target_building, &stand);  // building targets are left alone
    EXPECT_EQ(g.units[0]->target_building, nullptr);  // its carry slots were forgotten

    EXPECT_EQ(find_building_at(g, 5, 6), 0);
    remove_building(g, 0);
    EXPECT_EQ(g.units[1]->target_building, nullptr);
    EXPECT_EQ(g.units[2]->target_building, nullptr);
    EXPECT_EQ(find_building_at(g, 5, 6), -1);

    clear_units(g);
    EXPECT_TRUE(g.units.empty());
}

TEST(Lists, AnOpenNodeMenuStaysOnItsNode) {
    Game g;
    for (int i = 0; i < 4; ++i) {
        Building b = fresh_building(g);
        b.kind = building_node;
        b.x = i;
        append_building(g, b);
    }
    g.open_menu = 0;
    g.menu_building = 2;
    remove_building(g, 3);  // after it: nothing moves
    EXPECT_EQ(g.menu_building, 2);
    remove_building(g, 0);  // before it: the index follows the node
    EXPECT_EQ(g.menu_building, 1);
    EXPECT_EQ(g.buildings[g.menu_building]->x, 2);
    EXPECT_EQ(g.open_menu, 0);
    remove_building(g, 1);  // the node itself: the menu closes
    EXPECT_EQ(g.open_menu, -1);

    g.open_menu = 1;  // a hint menu remembers no node
    g.menu_building = 0;
    remove_building(g, 0);
    EXPECT_EQ(g.menu_building, 0);
    EXPECT_EQ(g.open_menu, 1);
}

TEST(Lists, RemovalKeepsOrder) {
    Game g;
    for (int i = 0; i < 5; ++i) {
        Effect e = fresh_effect();
        e.life = i;
        append_effect(g, e);
    }
    remove_effect(g, 1);
    ASSERT_EQ(g.effects.size(), 4u);
    EXPECT_EQ(g.effects[0]->life, 0);
    EXPECT_EQ(g.effects[1]->life, 2);
    EXPECT_EQ(g.effects[3]->life, 4);
}

TEST(World, DirectionsFactionsAndMapIndexes) {
    EXPECT_EQ(direction_of(-1, -1), 7);
    EXPECT_EQ(direction_of(0, 0), 0);
    EXPECT_EQ(direction_of(1, 1), 0);
    EXPECT_EQ(direction_of(0, -2), -2);
    EXPECT_EQ(direction_of(2, -1), -1);  // "no direction"
    EXPECT_EQ(direction_of(2, 1), 1);    // not in the table, yet a direction index all the same
    EXPECT_EQ(direction_offset(4).dx, 0);
    EXPECT_EQ(direction_offset(4).dy, -1);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(direction_of(direction_offset(i).dx, direction_offset(i).dy), i);
    }
    EXPECT_EQ(map_index(210, 62), 26312);
    EXPECT_EQ(map_index(399, 124), 49999);
    EXPECT_EQ(sector_index(160, 75), 2 * 5 + 3);
    EXPECT_EQ(sector_index(239, 74), 2 * 5 + 2);

    Game g;
    faction_colour(g, 12, 0);
    EXPECT_EQ(g.screen.pen.fg, 4);
    EXPECT_EQ(g.screen.pen.bright, 1);
    faction_colour(g, 7, 3);
    EXPECT_EQ(g.screen.pen.fg, 7);
    EXPECT_EQ(g.screen.pen.bg, 3);
    EXPECT_EQ(g.screen.pen.bright, 0);
    bool dark = false, black = false;
    for (int i = 0; i < 100; ++i) {
        const std::uint32_t before = g.seed;
        faction_colour(g, 0, 0);
        EXPECT_NE(g.seed, before);
        EXPECT_EQ(g.screen.pen.fg, 0);
        (g.screen.pen.bright ? dark : black) = true;
    }
    EXPECT_TRUE(dark && black);
    EXPECT_EQ(faction_names[15].group, "The Church of the Conglomeration");
    EXPECT_EQ(faction_names[8].sub, "Armored Division");
}

}  // namespace
}  // namespace qm
