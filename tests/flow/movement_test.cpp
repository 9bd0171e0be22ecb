#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <utility>

#include "flow/movement.h"
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

TEST(PlayerAction, TakingSettingDownOpeningMenusAndBolts) {
    World w;
    map_cell(w.g, 201, 62) = source_cell;
    w.building(building_node, 201, 62);
    w.building(building_barracks, 199, 61);
    w.building(building_corrupted_node, 199, 63).faction = 9;
    move_unit(w.g, 0, 1, 0);    // taken into the east slot; the player stays
    move_unit(w.g, 0, -1, 1);   // a corrupted node is carried as a node
    move_unit(w.g, 0, -1, -1);  // barracks cannot be taken
    EXPECT_EQ(std::tuple(w.p.x, w.p.y, w.p.carry_slots[1].kind, w.p.carry_slots[5].kind, w.p.carry_slots[5].faction),
              std::tuple(200, 62, building_node, building_node, 9));
    player_action(w.g, 0, 0, 1);  // unarmed, at open ground: nothing
    player_action(w.g, 0, 1, 0);  // set down on the source: the link cells turn to blue energised floor
    EXPECT_EQ(std::tuple(w.p.carry_slots[1].kind, map_cell(w.g, 203, 63), map_cell(w.g, 200, 64), w.g.buildings.size()),
              std::tuple(building_none, Cell{'.', 1, 0, 0}, Cell{'.', 1, 0, 0}, 2u));
    w.g.menu_flash.fill(7);
    w.p.affinity = 5;
    player_action(w.g, 0, 1, 0);  // armed and ready, yet the active node opens its menu and is not shot
    EXPECT_EQ(std::tuple(w.g.open_menu, w.g.menu_building, w.g.menu_flash[0], w.g.effects.size()), std::tuple(0, 1, 0, 0u));

    w.p.weapon_level = 3;
    w.p.links = {4, -1, 9, -1};
    player_action(w.g, 0, 0, 1);
    player_action(w.g, 0, 0, 1);  // not reloaded
    ASSERT_EQ(w.g.effects.size(), 1u);
    const Effect& bolt = *w.g.effects[0];
    EXPECT_EQ(std::tuple(bolt.kind, bolt.faction, bolt.links, bolt.life, bolt.y, w.p.ammo),
              std::tuple(effect_bolt, 5, w.p.links, 100, 62, 85));
    EXPECT_TRUE(bolt.vx >= -5 && bolt.vx <= 5 && bolt.vy >= 45 && bolt.vy <= 55) << bolt.vx << "," << bolt.vy;

    // Diagonals run at full speed along one axis chosen by a coin, 71 to 100 along the other,
    // from the edge of their cell on that other axis.
    int along_x = 0;
    place_unit(w.g, w.p, w.p.x, 100);  // away from the buildings, and with nothing carried
    w.p.carry_slots[5].kind = building_none;
    w.p.affinity = 7;
    w.p.weapon_level = 10;
    for (std::uint32_t seed = 1; seed <= 16; ++seed) {
        const int dx = seed % 2 ? 1 : -1, dy = seed % 4 < 2 ? 1 : -1;
        w.g.seed = seed;
        w.p.ammo = 0;
        player_action(w.g, 0, dx, dy);
        const Effect& d = *w.g.effects.back();
        const bool full_x = d.frac_y != 0;  // the coin's choice
        along_x += full_x;
        const auto [fast, slow, edge, other] = full_x ? std::tuple(d.vx * dx, d.vy * dy, d.frac_y * dy, d.frac_x)
                                                      : std::tuple(d.vy * dy, d.vx * dx, d.frac_x * dx, d.frac_y);
        EXPECT_TRUE(fast == 100 && slow >= 71 && slow <= 100 && edge == 99 && other == 0 && w.p.ammo == 4) << seed;
    }
    EXPECT_TRUE(along_x > 0 && along_x < 16);
    // Each power's reload at level 0, 19/20 of it a level up, half from level 10 on.
    const int reload[16] = {20, 20, 30, 20, 50, 100, 30, 8, 15, 30, 20, 30, 20, 30, 50, 30};
    for (int power = 0; power < 16; ++power) EXPECT_EQ(weapon_cooldown(power, 0), reload[power]) << power;
    EXPECT_EQ((std::array{weapon_cooldown(4, 1), weapon_cooldown(8, 1), weapon_cooldown(0, 9), weapon_cooldown(15, 30)}),
              (std::array{47, 14, 11, 15}));
}

}  // namespace
}  // namespace qm
