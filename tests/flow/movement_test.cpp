#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "buildings/node_network.h"
#include "flow/movement.h"
#include "flow/sector_assignment.h"
#include "records/statistics.h"
#include "world/lists.h"

namespace qm {
namespace {

constexpr Cell grey_wall{219, 7, 0, 0};
constexpr Cell barrier{glyph_barrier, 0, 7, 0};

// Open ground, the player unit (ready to fire) at (200, 62) and the view on the start sector.
struct World {
    Game g;
    World() { g.seed = 99; unit(unit_player, 200, 62).ammo = 0; }
    Unit& unit(int kind, int x, int y, int faction = 7) {
        Unit u;
        u.kind = kind, u.faction = faction, u.x = x, u.y = y;
        return append_unit(g, u);
    }
    Building& building(int kind, int x, int y, int faction = 7) {
        Building b;
        b.kind = kind, b.faction = faction, b.x = x, b.y = y;
        return append_building(g, b);
    }
    Unit& player() { return *g.units[0]; }
    int last() const { return static_cast<int>(g.units.size()) - 1; }
};

TEST(MoveUnit, WallsBarriersAndKeys) {
    World w;
    map_cell(w.g, 201, 62) = grey_wall;
    move_unit(w.g, 0, 1, 0);
    EXPECT_EQ(map_cell(w.g, 201, 62), grey_wall);  // the player unit never wears walls
    const Unit& ooze = w.unit(unit_ooze, 200, 62);
    for (int grade : {178, 177, 176, glyph_floor}) {
        move_unit(w.g, w.last(), 1, 0);
        EXPECT_EQ(ooze.x, 200);
        EXPECT_EQ(map_cell(w.g, 201, 62).glyph, grade);
    }
    EXPECT_EQ(map_cell(w.g, 201, 62), open_ground);
    for (int kind : {unit_citizen, unit_enemy_general}) {  // only the wearing kinds, only grey
        map_cell(w.g, 100, 31) = Cell{219, 2, 0, 0};
        map_cell(w.g, 101, 31) = grey_wall;
        w.unit(kind, 100, 30);
        move_unit(w.g, w.last(), 0, 1);
        move_unit(w.g, w.last(), 1, 1);
        EXPECT_EQ(map_cell(w.g, 100, 31).glyph, 219);
        EXPECT_EQ(map_cell(w.g, 101, 31).glyph, kind == unit_citizen ? 219 : 178);
    }
    w.unit(unit_own_flier, 100, 30);
    move_unit(w.g, w.last(), 0, 1);
    EXPECT_EQ(w.g.units.back()->y, 31);

    for (int y = 55; y <= 70; ++y) map_cell(w.g, 205, y) = barrier;
    for (int kind : {unit_own_soldier, unit_own_general, unit_enemy_soldier, unit_ooze}) {
        w.unit(kind, 204, 60);
        move_unit(w.g, w.last(), 1, 0);
        EXPECT_EQ(w.g.units.back()->x, is_hostile_unit_kind(kind) ? 205 : 204) << kind;
    }
    Unit& p = w.player();
    p.x = 203;
    p.carry_slots[1].kind = building_tower;  // pushed into the barrier: blocked, nothing happens
    move_unit(w.g, 0, 1, 0);
    EXPECT_EQ(p.x, 203);
    EXPECT_EQ(map_cell(w.g, 205, 62), barrier);
    p.carry_slots[1].kind = building_none;
    p.carry_slots[2].kind = building_key;  // north-east: lands on (205, 61)
    move_unit(w.g, 0, 1, 0);
    EXPECT_EQ(p.x, 203);
    EXPECT_TRUE(p.carry_slots[2].empty());
    for (int y = 55; y <= 70; ++y) EXPECT_EQ(map_cell(w.g, 205, y), open_ground) << y;
    move_unit(w.g, 0, 1, 0);
    move_unit(w.g, 0, 1, 0);
    EXPECT_EQ(p.x, 205);
    EXPECT_EQ(w.g.view_x, 160);
}

TEST(MoveUnit, BordersCarriedSlotsAndTheView) {
    World w;
    Unit& p = w.player();
    w.g.open_max_x = 320;
    p.x = 398;
    move_unit(w.g, 0, 1, 0);
    EXPECT_EQ(p.x, 399);
    EXPECT_EQ(w.g.view_x, 320);  // a move by the player unit takes the view along
    move_unit(w.g, 0, 1, 1);  // off the map along x only: the y step is still made
    EXPECT_EQ(p.x, 399);
    EXPECT_EQ(p.y, 63);
    p.x = 398;
    p.carry_slots[1].kind = building_node;  // east: the player keeps off column 399
    move_unit(w.g, 0, 1, -1);
    EXPECT_EQ(p.x, 398);
    EXPECT_EQ(p.y, 62);

    // A carried building may not land on another building, which stays untouched.
    p.x = 200;
    const Building& tower = w.building(building_tower, 201, 63);
    move_unit(w.g, 0, 0, 1);
    EXPECT_EQ(p.y, 62);
    EXPECT_EQ(tower.hit_points, 10);
    w.unit(unit_citizen, 150, 62);
    move_unit(w.g, w.last(), -1, 0);
    EXPECT_EQ(w.g.view_x, 320);  // nobody else's move touches the view
}

TEST(MoveUnit, EachCarriedSideKeepsItsBorderAndWallsStopTheLoad) {
    // A slot pointing off the map narrows that side by one; the other axis still moves.
    for (int d = 0; d < 8; ++d) {
        World w;
        Unit& p = w.player();
        const Offset o = direction_offset(d);
        p.carry_slots[static_cast<std::size_t>(d)].kind = building_barricade;
        const int edge_x = o.dx < 0 ? 1 : 398;
        const int edge_y = o.dy < 0 ? 1 : 123;
        if (o.dx != 0) {
            p.x = edge_x, p.y = 62;
            move_unit(w.g, 0, o.dx, 1);
            EXPECT_EQ(p.x, edge_x) << "slot " << d;
            EXPECT_EQ(p.y, 63) << "slot " << d;
        }
        if (o.dy != 0) {
            p.x = 200, p.y = edge_y;
            move_unit(w.g, 0, 1, o.dy);
            EXPECT_EQ(p.y, edge_y) << "slot " << d;
            EXPECT_EQ(p.x, 201) << "slot " << d;
        }
    }

    // A carried building pushed into a wall stops the step and wears nothing.
    World w;
    Unit& p = w.player();
    p.carry_slots[0].kind = building_node;  // south-east
    map_cell(w.g, 202, 63) = grey_wall;
    move_unit(w.g, 0, 1, 0);
    EXPECT_EQ(p.x, 200);
    EXPECT_EQ(map_cell(w.g, 202, 63), grey_wall);
    map_cell(w.g, 202, 63) = Cell{176, 2, 0, 0};  // worn walls block as well, whatever their colour
    move_unit(w.g, 0, 1, 0);
    EXPECT_EQ(p.x, 200);
    move_unit(w.g, 0, 0, -1);
    EXPECT_EQ(p.y, 61);
}

TEST(MoveUnit, BuildingsAreLookedAtFromTheLastToTheFirst) {
    // Stepping east onto a node while the north slot's load would land on a tower: whichever
    // comes later in the list is met first. The tower first refuses the step; the node first
    // is taken.
    for (bool tower_last : {true, false}) {
        World w;
        Unit& p = w.player();
        p.carry_slots[4].kind = building_barricade;  // north: lands on (201, 61)
        if (!tower_last) w.building(building_tower, 201, 61);
        w.building(building_node, 201, 62);
        if (tower_last) w.building(building_tower, 201, 61);
        move_unit(w.g, 0, 1, 0);
        EXPECT_EQ(p.x, 200);
        EXPECT_EQ(p.carry_slots[1].kind, tower_last ? building_none : building_node);
        EXPECT_EQ(w.g.buildings.size(), tower_last ? 2u : 1u);
    }
}

TEST(MoveUnit, TakingCorruptingAndRazing) {
    World w;
    Unit& p = w.player();
    map_cell(w.g, 201, 62) = source_cell;
    Building& node = w.building(building_node, 201, 62);
    node.hit_points = 7;
    network_walk(w.g, node, true);
    w.building(building_barracks, 199, 61, 4);
    w.building(building_corrupted_node, 199, 63, 9);
    w.unit(unit_citizen, 190, 62).target_building = &node;
    move_unit(w.g, 0, 1, 0);  // taken into the east slot; the player stays
    EXPECT_EQ(p.x, 200);
    EXPECT_EQ(p.carry_slots[1].kind, building_node);
    EXPECT_EQ(p.carry_slots[1].hit_points, 7);
    EXPECT_EQ(floor_level(map_cell(w.g, 199, 61)), 0);  // withdrawn before it went
    EXPECT_EQ(w.g.units.back()->target_building, nullptr);
    move_unit(w.g, 0, -1, 1);
    EXPECT_EQ(p.carry_slots[5].kind, building_node);  // a corrupted node becomes a node
    EXPECT_EQ(p.carry_slots[5].faction, 9);
    move_unit(w.g, 0, -1, -1);  // barracks cannot be taken
    ASSERT_EQ(w.g.buildings.size(), 1u);
    EXPECT_EQ(p.y, 62);

    // Oozes corrupt nodes; enemies wear towers down uncounted; own fighters raze with a count.
    Building& other = w.building(building_node, 150, 40);
    w.unit(unit_ooze, 150, 41, 12);
    move_unit(w.g, w.last(), 0, -1);
    EXPECT_EQ(other.kind, building_corrupted_node);
    EXPECT_EQ(other.faction, 12);
    w.building(building_tower, 160, 40).hit_points = 1;
    w.unit(unit_enemy_soldier, 160, 41, 3);
    move_unit(w.g, w.last(), 0, -1);
    EXPECT_EQ(find_building_at(w.g, 160, 40), -1);
    w.building(building_airfield, 170, 40, 11);
    w.building(building_barricade, 171, 40);  // after it in the list: survives the removal
    const Unit& soldier = w.unit(unit_own_soldier, 170, 41, 2);
    for (int blow = 1; blow <= 10; ++blow) move_unit(w.g, w.last(), 0, -1);
    EXPECT_EQ(soldier.y, 41);
    const auto& c = w.g.current_statistics.counters;
    EXPECT_EQ(c[stat_airfields_razed + 11], 1u);
    EXPECT_EQ(c[stat_airfields_razed_total], 1u);
    w.building(building_barracks, 180, 40, 6);
    w.unit(unit_own_general, 180, 41, 2);
    move_unit(w.g, w.last(), 0, -1);
    EXPECT_EQ(w.g.buildings.back()->hit_points, 5);
    move_unit(w.g, w.last(), 0, -1);
    EXPECT_EQ(c[stat_barracks_razed + 6], 1u);
    EXPECT_EQ(c[stat_barracks_razed_total], 1u);
    EXPECT_EQ(c[stat_total_razed], 2u);
    ASSERT_EQ(w.g.buildings.size(), 3u);
    EXPECT_EQ(w.g.buildings[2]->kind, building_barricade);
}

TEST(PlayerAction, SettingDownTheStartNodeOnTheSourceAndOpeningMenus) {
    Game g;
    g.seed = 2024;
    start_new_game(g);
    Unit& p = *g.units[0];
    for (int step = 0; step < 10; ++step) move_unit(g, 0, 1, 0);  // one press takes the node
    ASSERT_EQ(p.x, 209);
    std::uint32_t s = g.seed;
    random_below(s, 500);  // the fresh record's phase, then overwritten by the carried one
    player_action(g, 0, 1, 0);
    EXPECT_EQ(g.seed, s);
    EXPECT_TRUE(p.carry_slots[1].empty());
    EXPECT_EQ(g.buildings.back()->x, 210);
    for (auto [x, y] : {std::pair{208, 61}, {212, 63}, {211, 60}, {209, 64}}) {
        EXPECT_EQ(map_cell(g, x, y), (Cell{'.', 1, 0, 0})) << x << "," << y;  // blue
    }
    g.menu_flash.fill(7);
    player_action(g, 0, 1, 0);
    EXPECT_EQ(g.open_menu, 0);
    EXPECT_EQ(g.menu_building, 1);
    for (int t : g.menu_flash) EXPECT_EQ(t, 0);

    World w;
    w.player().affinity = 3;  // armed and ready, yet buildings are never shot at
    w.g.menu_building = 42;
    w.building(building_node, 201, 62);
    w.building(building_key, 199, 61);
    w.building(building_tower, 200, 61);
    player_action(w.g, 0, 1, 0);
    EXPECT_EQ(w.g.open_menu, 1);
    player_action(w.g, 0, -1, -1);
    EXPECT_EQ(w.g.open_menu, 2);
    EXPECT_EQ(w.g.menu_building, 42);
    w.g.open_menu = -1;
    player_action(w.g, 0, 0, -1);
    EXPECT_EQ(w.g.open_menu, -1);
    EXPECT_TRUE(w.g.effects.empty());
}

TEST(PlayerAction, BoltsAndCooldowns) {
    World w;
    Unit& p = w.player();
    player_action(w.g, 0, 1, 0);  // unarmed
    EXPECT_TRUE(w.g.effects.empty());
    p.affinity = 5, p.weapon_level = 3, p.links = {4, -1, 9, -1};
    std::uint32_t s = w.g.seed;
    const int a = random_below(s, 11), b = random_below(s, 11);
    player_action(w.g, 0, 1, 0);
    ASSERT_EQ(w.g.effects.size(), 1u);
    const Effect& bolt = *w.g.effects[0];
    EXPECT_EQ(bolt.kind, effect_bolt);
    EXPECT_EQ(bolt.faction, 5);
    EXPECT_EQ(bolt.links, p.links);
    EXPECT_EQ(bolt.life, 100);
    EXPECT_EQ(bolt.vx, a + 45);
    EXPECT_EQ(bolt.vy, b - 5);
    EXPECT_EQ(p.ammo, 85);
    player_action(w.g, 0, 0, 1);  // not reloaded
    EXPECT_EQ(w.g.effects.size(), 1u);
    EXPECT_EQ(w.g.seed, s);

    bool coin_seen[2] = {};
    p.affinity = 7, p.weapon_level = 10;
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
        for (auto [dx, dy] : {std::pair{1, 1}, {1, -1}, {-1, 1}, {-1, -1}}) {
            w.g.seed = s = seed;
            p.ammo = 0;
            random_below(s, 11), random_below(s, 11);
            const int coin = random_below(s, 2) != 0;
            const int slack = random_below(s, 30);
            coin_seen[coin] = true;
            player_action(w.g, 0, dx, dy);
            const Effect& d = *w.g.effects.back();
            EXPECT_EQ(d.vx, coin ? dx * (100 - slack) : dx * 100);
            EXPECT_EQ(d.vy, coin ? dy * 100 : dy * (100 - slack));
            EXPECT_EQ(d.frac_x, coin ? dx * 99 : 0);
            EXPECT_EQ(d.frac_y, coin ? 0 : dy * 99);
            EXPECT_EQ(p.ammo, 4);
            EXPECT_EQ(w.g.seed, s);
        }
    }
    EXPECT_TRUE(coin_seen[0] && coin_seen[1]);
    // The reload of each power at level 0, and the same weapon a level up.
    const std::pair<int, std::initializer_list<int>> bases[] = {
        {20, {0, 1, 3, 10, 12}}, {50, {4, 14}}, {100, {5}}, {8, {7}}, {15, {8}},
        {30, {2, 6, 9, 11, 13, 15}},
    };
    for (const auto& [base, powers] : bases) {
        for (int power : powers) {
            EXPECT_EQ(weapon_cooldown(power, 0), base) << power;
            EXPECT_EQ(weapon_cooldown(power, 1), base * 19 / 20) << power;
        }
    }
    EXPECT_EQ(weapon_cooldown(8, 1), 14);
    EXPECT_EQ(weapon_cooldown(0, 9), 11);
    EXPECT_EQ(weapon_cooldown(15, 30), 15);
}

}  // namespace
}  // namespace qm
