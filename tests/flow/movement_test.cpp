#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <utility>

#include "flow/movement.h"
#include "records/statistics.h"
#include "support/world_builders.h"
#include "world/lists.h"

namespace qm {
namespace {

constexpr Cell grey_wall{219, 7, 0, 0};
constexpr Cell barrier{glyph_barrier, 0, 7, 0};

// Open ground, the player unit (ready to fire) at (200, 62) and the view on the start sector.
struct World {
    Game g;
    Unit& p = unit(unit_player, 200, 62);
    Unit& unit(int kind, int x, int y) {
        Unit u = test::unit_at(kind, x, y);
        u.ammo = 0;
        return append_unit(g, u);
    }
    Building& building(int kind, int x, int y) { return append_building(g, Building{.kind = kind, .x = x, .y = y}); }
    // Moves the unit last added.
    void step(int dx, int dy) { move_unit(g, static_cast<int>(g.units.size()) - 1, dx, dy); }
};

TEST(MoveUnit, WallsWornWallsBarriersAndKeys) {
    // One step east by a unit of this kind into this cell: where it stands, what the cell is.
    const std::tuple<int, Cell, int, Cell> steps[] = {
        {unit_player, grey_wall, 200, grey_wall},             {unit_ooze, grey_wall, 200, {178, 7, 0, 0}},
        {unit_ooze, {177, 7, 0, 0}, 200, {176, 7, 0, 0}},     {unit_ooze, {176, 7, 0, 0}, 200, open_ground},
        {unit_citizen, grey_wall, 200, grey_wall},            {unit_enemy_general, {219, 2, 0, 0}, 200, {219, 2, 0, 0}},
        {unit_own_flier, grey_wall, 201, grey_wall},          {unit_player, barrier, 200, barrier},
        {unit_own_soldier, barrier, 200, barrier},            {unit_own_general, barrier, 200, barrier},
        {unit_enemy_soldier, barrier, 201, barrier},          {unit_ooze, barrier, 201, barrier},
        {unit_own_soldier, grey_wall, 200, {178, 7, 0, 0}},   {unit_enemy_soldier, grey_wall, 200, {178, 7, 0, 0}},
        {unit_own_general, grey_wall, 200, {178, 7, 0, 0}},   {unit_boss, grey_wall, 200, {178, 7, 0, 0}},
        {unit_enemy_general, grey_wall, 200, {178, 7, 0, 0}}, {unit_enemy_flier, grey_wall, 201, grey_wall},
    };
    for (const auto& [kind, at, x, after] : steps) {
        World w;
        map_cell(w.g, 201, 62) = at;
        w.unit(kind, 200, 62);
        w.step(1, 0);
        EXPECT_EQ(std::tuple(w.g.units.back()->x, map_cell(w.g, 201, 62)), std::tuple(x, after)) << kind;
    }
    // A carried key pushed into a barrier blocks the step, is spent on it and dissolves the whole
    // barrier.
    World w;
    for (int y = 55; y <= 70; ++y) map_cell(w.g, 205, y) = barrier;
    place_unit(w.g, w.p, 203, 62);
    w.p.carry_slots[2].kind = building_key;  // north-east: touches the barrier at (205, 61)
    move_unit(w.g, 0, 1, 0);
    EXPECT_EQ(std::tuple(w.p.x, w.p.carry_slots[2].kind, map_cell(w.g, 205, 55), map_cell(w.g, 205, 70)),
              std::tuple(203, building_none, open_ground, open_ground));

    // Own soldiers and generals strike barracks and airfields, 1 and 5 a blow; enemy soldiers,
    // generals and bosses strike towers and barricades, 1 a blow; nobody strikes anything else.
    const std::tuple<int, int, int> blows[] = {
        {unit_own_soldier, building_barracks, 9},    {unit_own_general, building_airfield, 5},
        {unit_own_general, building_tower, 10},      {unit_own_soldier, building_node, 10},
        {unit_enemy_general, building_barricade, 9}, {unit_boss, building_tower, 9},
        {unit_enemy_soldier, building_barracks, 10}, {unit_citizen, building_barricade, 10}};
    for (const auto& [kind, struck, left] : blows) {
        World b;
        b.building(struck, 201, 62).faction = 6;
        b.unit(kind, 200, 62);
        b.step(1, 0);
        EXPECT_EQ(b.g.buildings[0]->hit_points, left) << kind << " on " << struck;
    }
    // What own troops raze counts under its kind and its faction; what enemies raze, nowhere.
    World r;
    for (const auto& [kind, faction, y] : {std::tuple{building_airfield, 6, 58}, {building_barracks, 9, 60}}) {
        r.building(kind, 201, y).faction = faction, r.g.buildings.back()->hit_points = 1;
        r.unit(unit_own_soldier, 200, y), r.step(1, 0);
    }
    r.building(building_tower, 201, 66).hit_points = 1;
    r.unit(unit_enemy_soldier, 200, 66), r.step(1, 0);
    const auto& c = r.g.current_statistics.counters;
    EXPECT_EQ(std::tuple(r.g.buildings.size(), c[stat_airfields_razed + 6], c[stat_airfields_razed + 9],
                         c[stat_barracks_razed + 9], c[stat_total_razed]),
              std::tuple(0u, 1u, 0u, 1u, 2u));
}

TEST(MoveUnit, BordersAndCarriedSlots) {
    World w;
    w.g.open_max_x = 320;
    place_unit(w.g, w.p, 398, 62);
    move_unit(w.g, 0, 1, 1);
    move_unit(w.g, 0, 1, 1);  // off the map along x only: the y step is still made
    w.unit(unit_citizen, 150, 62);
    w.step(-1, 0);  // the view follows the player unit, and nobody else
    EXPECT_EQ(std::tuple(w.p.x, w.p.y, w.g.view_x), std::tuple(399, 64, 320));
    place_unit(w.g, w.p, 398, w.p.y);
    w.p.carry_slots[1].kind = building_node;  // east: the player keeps off column 399
    move_unit(w.g, 0, 1, -1);
    EXPECT_EQ(std::tuple(w.p.x, w.p.y), std::tuple(398, 63));
    // A load stops in a worn wall of any colour, and on a building, which stays untouched.
    place_unit(w.g, w.p, 200, 62);
    w.p.carry_slots[1].kind = building_none;
    w.p.carry_slots[0].kind = building_node;  // south-east
    map_cell(w.g, 202, 63) = Cell{176, 2, 0, 0};
    move_unit(w.g, 0, 1, 0);
    const Building& tower = w.building(building_tower, 201, 62);
    move_unit(w.g, 0, 0, -1);
    EXPECT_EQ(std::tuple(w.p.x, w.p.y, tower.hit_points, w.g.buildings.size()), std::tuple(200, 62, 10, 1u));
}

}  // namespace
}  // namespace qm
