#include <gtest/gtest.h>

#include "buildings/node_network.h"
#include "flow/movement.h"
#include "flow/sector_assignment.h"
#include "records/statistics.h"
#include "world/lists.h"

namespace qm {
namespace {

constexpr Cell grey_wall{219, 7, 0, 0};
constexpr Cell green_wall{219, 2, 0, 0};
constexpr Cell barrier{glyph_barrier, 0, 7, 0};

// A world of open ground with the player unit at (px, py) and the view on the start sector.
struct World {
    Game game;
    explicit World(int px = 200, int py = 62) {
        game.seed = 99;
        add_unit(unit_player, px, py);
    }
    Unit& add_unit(int kind, int x, int y, int faction = 7) {
        Unit u;
        u.kind = kind;
        u.faction = faction;
        u.x = x;
        u.y = y;
        return append_unit(game, u);
    }
    Building& add_building(int kind, int x, int y, int faction = 7) {
        Building b;
        b.kind = kind;
        b.faction = faction;
        b.x = x;
        b.y = y;
        return append_building(game, b);
    }
    Unit& player() { return *game.units[0]; }
    Unit& unit(int i) { return *game.units[static_cast<std::size_t>(i)]; }
    void carry(int slot, int kind) {
        player().carry_slots[static_cast<std::size_t>(slot)].kind = kind;
    }
    int last() const { return static_cast<int>(game.units.size()) - 1; }
};

TEST(MoveUnit, WallsWearOnlyWhenGreyAndOnlyForSomeKinds) {
    World w;
    Game& g = w.game;
    map_cell(g, 201, 62) = grey_wall;
    for (int bump = 0; bump < 4; ++bump) {
        move_unit(g, 0, 1, 0);
        EXPECT_EQ(w.player().x, 200);
    }
    EXPECT_EQ(map_cell(g, 201, 62), grey_wall);  // the player unit never wears walls

    w.add_unit(unit_ooze, 200, 70, 3);
    const int ooze = w.last();
    map_cell(g, 201, 70) = grey_wall;
    const int grades[] = {178, 177, 176, glyph_floor};
    for (int grade : grades) {
        move_unit(g, ooze, 1, 0);
        EXPECT_EQ(w.unit(ooze).x, 200);  // a bump never moves the unit as well
        EXPECT_EQ(map_cell(g, 201, 70).glyph, grade);
    }
    EXPECT_EQ(map_cell(g, 201, 70), open_ground);
    move_unit(g, ooze, 1, 0);
    EXPECT_EQ(w.unit(ooze).x, 201);

    // Every wearing kind takes a grade; citizens and the player do not; green and red walls
    // never give.
    for (int kind : {unit_own_soldier, unit_enemy_soldier, unit_enemy_general, unit_own_general,
                     unit_boss}) {
        w.add_unit(kind, 100, 30);
        map_cell(g, 100, 31) = grey_wall;
        move_unit(g, w.last(), 0, 1);
        EXPECT_EQ(map_cell(g, 100, 31).glyph, 178) << kind;
    }
    w.add_unit(unit_citizen, 110, 30);
    map_cell(g, 110, 31) = grey_wall;
    move_unit(g, w.last(), 0, 1);
    EXPECT_EQ(map_cell(g, 110, 31), grey_wall);
    w.add_unit(unit_ooze, 120, 30);
    map_cell(g, 120, 31) = green_wall;
    map_cell(g, 121, 31) = Cell{178, 4, 0, 0};
    move_unit(g, w.last(), 0, 1);
    move_unit(g, w.last(), 1, 1);
    EXPECT_EQ(map_cell(g, 120, 31), green_wall);
    EXPECT_EQ(map_cell(g, 121, 31), (Cell{178, 4, 0, 0}));
    EXPECT_EQ(w.unit(w.last()).y, 30);

    // Fliers cross walls without touching them.
    w.add_unit(unit_enemy_flier, 130, 30);
    map_cell(g, 131, 30) = grey_wall;
    move_unit(g, w.last(), 1, 0);
    EXPECT_EQ(w.unit(w.last()).x, 131);
    EXPECT_EQ(map_cell(g, 131, 30), grey_wall);
}

TEST(MoveUnit, BarriersHoldOwnFightersAndKeysDissolveThem) {
    World w;
    Game& g = w.game;
    for (int y = 55; y <= 70; ++y) map_cell(g, 205, y) = barrier;

    for (int kind : {unit_own_soldier, unit_own_general}) {
        w.add_unit(kind, 204, 60);
        move_unit(g, w.last(), 1, 0);
        EXPECT_EQ(w.unit(w.last()).x, 204) << kind;
    }
    for (int kind : {unit_ooze, unit_citizen, unit_enemy_soldier, unit_boss}) {
        w.add_unit(kind, 204, 61);
        move_unit(g, w.last(), 1, 0);
        EXPECT_EQ(w.unit(w.last()).x, 205) << kind;
    }

    // The player stops at the barrier, and a carried tower or a wall in a slot's way blocks.
    w.player().x = 204;
    move_unit(g, 0, 1, 0);
    EXPECT_EQ(w.player().x, 204);
    w.player().x = 202;
    w.carry(1, building_tower);
    move_unit(g, 0, 1, 0);
    EXPECT_EQ(w.player().x, 203);
    move_unit(g, 0, 1, 0);  // the tower would go into the barrier
    EXPECT_EQ(w.player().x, 203);
    EXPECT_EQ(map_cell(g, 205, 62), barrier);
    w.carry(1, building_none);

    map_cell(g, 190, 63) = green_wall;
    w.player().x = 192;
    w.carry(5, building_node);  // south-west
    move_unit(g, 0, -1, 0);
    EXPECT_EQ(w.player().x, 192);
    w.carry(5, building_none);

    // A carried key pushed into the barrier is spent and the whole stretch goes; the player
    // stays put for that step and walks on after.
    w.player().x = 202;
    w.carry(2, building_key);  // north-east
    move_unit(g, 0, 1, 0);     // the key is on (204, 61): floor
    EXPECT_EQ(w.player().x, 203);
    EXPECT_FALSE(w.player().carry_slots[2].empty());
    move_unit(g, 0, 1, 0);  // the key would go onto (205, 61)
    EXPECT_EQ(w.player().x, 203);
    EXPECT_TRUE(w.player().carry_slots[2].empty());
    for (int y = 55; y <= 70; ++y) EXPECT_EQ(map_cell(g, 205, y), open_ground) << y;
    move_unit(g, 0, 1, 0);
    move_unit(g, 0, 1, 0);
    EXPECT_EQ(w.player().x, 205);
}

TEST(MoveUnit, BorderNarrowsForCarriedSidesAndSlotsCollide) {
    World w(398, 62);
    Game& g = w.game;
    g.open_max_x = 320;
    move_unit(g, 0, 1, 0);
    EXPECT_EQ(w.player().x, 399);
    move_unit(g, 0, 1, 1);  // off the map along x only: the y step still happens
    EXPECT_EQ(w.player().x, 399);
    EXPECT_EQ(w.player().y, 63);

    w.player().x = 398;
    w.carry(1, building_node);  // east
    move_unit(g, 0, 1, 0);
    EXPECT_EQ(w.player().x, 398);
    move_unit(g, 0, 1, -1);
    EXPECT_EQ(w.player().x, 398);
    EXPECT_EQ(w.player().y, 62);

    w.player().x = 10;
    w.player().y = 1;
    w.carry(1, building_none);
    w.carry(7, building_tower);  // north-west: keeps the player off column 0 and row 0
    move_unit(g, 0, -1, -1);
    EXPECT_EQ(w.player().y, 1);
    EXPECT_EQ(w.player().x, 9);
    w.player().x = 1;
    move_unit(g, 0, -1, 1);
    EXPECT_EQ(w.player().x, 1);
    EXPECT_EQ(w.player().y, 2);

    w.player().y = 124;  // a unit without slots at the bottom row stays on it
    w.carry(7, building_none);
    move_unit(g, 0, 0, 1);
    EXPECT_EQ(w.player().y, 124);

    // A carried building may not land on another building.
    World s;
    s.carry(3, building_node);  // south: would land on (201, 63)
    Building& tower = s.add_building(building_tower, 201, 64);
    move_unit(s.game, 0, 1, 0);
    EXPECT_EQ(s.player().x, 201);
    move_unit(s.game, 0, 0, 1);  // the slot would land on the tower
    EXPECT_EQ(s.player().y, 62);
    EXPECT_EQ(s.game.buildings.size(), 1u);
    EXPECT_EQ(tower.hit_points, 10);
    // The building in front of an occupied slot blocks too, untouched.
    s.add_building(building_node, 201, 61);
    s.carry(4, building_key);  // north
    move_unit(s.game, 0, 0, -1);
    EXPECT_EQ(s.player().y, 62);
    EXPECT_EQ(s.game.buildings.size(), 2u);
}

TEST(MoveUnit, PlayerTakesBuildingsIntoTheFacingSlot) {
    World w;
    Game& g = w.game;
    map_cell(g, 202, 62) = source_cell;
    Building& node = w.add_building(building_node, 202, 62, 7);
    node.hit_points = 7;
    node.links = {1, 2, -1, -1};
    network_walk(g, node, true);
    ASSERT_EQ(floor_level(map_cell(g, 200, 61)), 1);
    w.add_building(building_barracks, 201, 61, 4);
    w.add_building(building_corrupted_node, 200, 63, 9);
    w.add_building(building_airfield, 202, 63, 4);
    Unit& chaser = w.add_unit(unit_citizen, 190, 62);
    chaser.target_building = g.buildings[0].get();

    move_unit(g, 0, 1, 0);
    EXPECT_EQ(w.player().x, 201);
    move_unit(g, 0, 1, 0);  // onto the node: taken, and the player does not move
    EXPECT_EQ(w.player().x, 201);
    const Building& east = w.player().carry_slots[1];
    EXPECT_EQ(east.kind, building_node);
    EXPECT_EQ(east.hit_points, 7);
    EXPECT_EQ(east.links[1], 2);
    EXPECT_EQ(east.x, 202);
    EXPECT_EQ(g.buildings.size(), 3u);
    EXPECT_EQ(floor_level(map_cell(g, 200, 61)), 0);  // withdrawn from the network
    EXPECT_EQ(chaser.target_building, nullptr);

    // A corrupted node goes into the slot as a node of the player's side.
    move_unit(g, 0, -1, 1);
    EXPECT_EQ(w.player().x, 201);
    EXPECT_EQ(w.player().carry_slots[5].kind, building_node);
    EXPECT_EQ(w.player().carry_slots[5].faction, 9);

    // Barracks and airfields stay where they are and block.
    move_unit(g, 0, 0, -1);
    move_unit(g, 0, 1, 1);
    EXPECT_EQ(w.player().x, 201);
    EXPECT_EQ(w.player().y, 62);
    EXPECT_EQ(g.buildings.size(), 2u);

    // A building in front of an occupied slot is not taken.
    World o;
    o.carry(1, building_key);
    o.add_building(building_node, 201, 62);
    move_unit(o.game, 0, 1, 0);
    EXPECT_EQ(o.player().carry_slots[1].kind, building_key);
    EXPECT_EQ(o.game.buildings.size(), 1u);
    EXPECT_EQ(o.player().x, 200);
}

TEST(MoveUnit, ContactsOfTheOtherKinds) {
    World w;
    Game& g = w.game;
    const std::uint32_t seed = g.seed;

    // An ooze takes a node over: withdrawn first, then corrupted with the ooze's faction.
    map_cell(g, 100, 40) = source_cell;
    Building& node = w.add_building(building_node, 100, 40, 7);
    network_walk(g, node, true);
    w.add_unit(unit_ooze, 99, 40, 12);
    move_unit(g, w.last(), 1, 0);
    EXPECT_EQ(w.unit(w.last()).x, 99);
    EXPECT_EQ(node.kind, building_corrupted_node);
    EXPECT_EQ(node.faction, 12);
    EXPECT_EQ(floor_level(map_cell(g, 98, 39)), 0);
    move_unit(g, w.last(), 1, 0);  // a corrupted node is just in the way
    EXPECT_EQ(node.faction, 12);

    // Citizens and the wrong pairs do nothing and stay put; fliers pass over.
    Building& tower = w.add_building(building_tower, 120, 40);
    for (int kind : {unit_citizen, unit_own_soldier, unit_ooze}) {
        w.add_unit(kind, 119, 40);
        move_unit(g, w.last(), 1, 0);
        EXPECT_EQ(w.unit(w.last()).x, 119) << kind;
    }
    EXPECT_EQ(tower.hit_points, 10);
    w.add_unit(unit_own_flier, 119, 40);
    move_unit(g, w.last(), 1, 0);
    EXPECT_EQ(w.unit(w.last()).x, 120);
    EXPECT_EQ(g.seed, seed);  // no damage was dealt, so nothing was drawn

    // Enemies wear towers and barricades down by 1 and take them away uncounted.
    for (int kind : {unit_enemy_soldier, unit_enemy_general, unit_boss}) {
        w.add_unit(kind, 121, 41, 3);
        move_unit(g, w.last(), -1, -1);
        EXPECT_EQ(w.unit(w.last()).y, 41);
    }
    EXPECT_EQ(tower.hit_points, 7);
    Building& barricade = w.add_building(building_barricade, 140, 40);
    barricade.hit_points = 1;
    w.add_unit(unit_enemy_soldier, 140, 41, 3);
    move_unit(g, w.last(), 0, -1);
    EXPECT_EQ(find_building_at(g, 140, 40), -1);
    EXPECT_EQ(g.current_statistics.counters[stat_total_razed], 0u);
}

TEST(MoveUnit, OwnFightersRazeBarracksAndAirfieldsWithTheCount) {
    World w;
    Game& g = w.game;
    // Buildings on both sides of the one being razed, so a removal in the middle of the list
    // must not disturb the walk or the rest.
    w.add_building(building_node, 150, 50);
    w.add_building(building_barracks, 151, 50, 6);
    w.add_building(building_airfield, 153, 50, 11);
    w.add_building(building_tower, 152, 52);
    w.add_unit(unit_own_soldier, 151, 51, 2);
    const int soldier = w.last();
    w.add_unit(unit_own_general, 153, 51, 2);
    const int general = w.last();

    for (int blow = 1; blow <= 10; ++blow) {
        move_unit(g, soldier, 0, -1);
        EXPECT_EQ(w.unit(soldier).y, 51);
        if (blow < 10) {
            EXPECT_EQ(g.buildings[1]->hit_points, 10 - blow);
        }
    }
    ASSERT_EQ(g.buildings.size(), 3u);
    EXPECT_EQ(g.buildings[1]->kind, building_airfield);
    const auto& c = g.current_statistics.counters;
    EXPECT_EQ(c[stat_barracks_razed + 6], 1u);
    EXPECT_EQ(c[stat_barracks_razed_total], 1u);
    EXPECT_EQ(c[stat_total_razed], 1u);

    move_unit(g, general, 0, -1);
    EXPECT_EQ(g.buildings[1]->hit_points, 5);
    move_unit(g, general, 0, -1);
    ASSERT_EQ(g.buildings.size(), 2u);
    EXPECT_EQ(g.buildings[0]->kind, building_node);
    EXPECT_EQ(g.buildings[1]->kind, building_tower);
    EXPECT_EQ(c[stat_airfields_razed + 11], 1u);
    EXPECT_EQ(c[stat_airfields_razed_total], 1u);
    EXPECT_EQ(c[stat_barracks_razed_total], 1u);
    EXPECT_EQ(c[stat_total_razed], 2u);
    move_unit(g, general, 0, -1);
    EXPECT_EQ(w.unit(general).y, 50);

    // A barracks of the soldier's own faction shrugs off half the blows (one coin each).
    w.add_building(building_barracks, 160, 50, 2);
    w.add_unit(unit_own_soldier, 160, 51, 2);
    std::uint32_t s = g.seed;
    int expected = 10;
    for (int blow = 0; blow < 6; ++blow) {
        if (random_below(s, 2) == 0) --expected;
        move_unit(g, w.last(), 0, -1);
    }
    EXPECT_EQ(g.buildings.back()->hit_points, expected);
    EXPECT_EQ(g.seed, s);
}

TEST(MoveUnit, ThePlayersMoveKeepsTheViewOnIt) {
    World w(228, 62);
    Game& g = w.game;
    g.open_max_x = 320;
    move_unit(g, 0, 1, 0);
    EXPECT_EQ(g.view_x, 160);
    move_unit(g, 0, 1, 0);  // x 230 is past view_x + 69
    EXPECT_EQ(g.view_x, 200);

    // Someone else's move leaves the view alone; so does a refused move.
    w.add_unit(unit_citizen, 205, 62);
    move_unit(g, w.last(), -1, 0);
    EXPECT_EQ(g.view_x, 200);
    g.view_x = 160;
    map_cell(g, 231, 62) = grey_wall;
    move_unit(g, 0, 1, 0);
    EXPECT_EQ(g.view_x, 160);
}

TEST(PlayerAction, CarryingTheStartNodeOntoTheSourceLightsItsFourLinks) {
    Game g;
    g.seed = 2024;
    start_new_game(g);
    ASSERT_EQ(g.buildings[0]->x, 205);
    const int phase = g.buildings[0]->phase;
    // Ten presses: one of them takes the node at 205 instead of stepping.
    for (int step = 0; step < 10; ++step) move_unit(g, 0, 1, 0);
    Unit& player = *g.units[0];
    ASSERT_EQ(player.x, 209);
    ASSERT_EQ(player.carry_slots[1].kind, building_node);
    ASSERT_EQ(g.buildings.size(), 1u);

    std::uint32_t s = g.seed;
    random_below(s, 500);  // the fresh record's phase, overwritten by the carried one
    player_action(g, 0, 1, 0);
    EXPECT_EQ(g.seed, s);
    EXPECT_TRUE(player.carry_slots[1].empty());
    ASSERT_EQ(g.buildings.size(), 2u);
    const Building& node = *g.buildings[1];
    EXPECT_EQ(node.kind, building_node);
    EXPECT_EQ(node.x, 210);
    EXPECT_EQ(node.phase, phase);
    EXPECT_EQ(node.flags, 0);
    for (auto [x, y] : {std::pair{208, 61}, {212, 63}, {211, 60}, {209, 64}}) {
        EXPECT_EQ(map_cell(g, x, y), (Cell{'.', 1, 0, 0})) << x << "," << y;
    }
    EXPECT_TRUE(is_source(map_cell(g, 210, 62)));

    // The same key again opens the node's menu, now that the node stands there.
    g.menu_flash.fill(7);
    player_action(g, 0, 1, 0);
    EXPECT_EQ(g.open_menu, 0);
    EXPECT_EQ(g.menu_building, 1);
    for (int t : g.menu_flash) EXPECT_EQ(t, 0);
}

TEST(PlayerAction, MenusOpenOnlyAtNodesAndKeys) {
    World w;
    Game& g = w.game;
    w.player().affinity = 3;  // armed and ready, yet no building is ever shot at
    w.player().ammo = 0;
    g.menu_building = 42;
    w.add_building(building_node, 201, 62);      // east, on green floor
    w.add_building(building_key, 199, 61);       // north-west
    w.add_building(building_tower, 200, 61);     // north
    w.add_building(building_barracks, 200, 63);  // south
    map_cell(g, 199, 63) = Cell{'.', 6, 0, 1};
    w.add_building(building_node, 199, 63);      // south-west, on energised floor
    w.add_building(building_key, 199, 63);       // under it: the first in the list counts

    g.menu_flash.fill(3);
    player_action(g, 0, 1, 0);
    EXPECT_EQ(g.open_menu, 1);
    EXPECT_EQ(g.menu_building, 42);
    EXPECT_EQ(g.menu_flash[4], 0);
    g.menu_flash.fill(3);
    player_action(g, 0, -1, -1);
    EXPECT_EQ(g.open_menu, 2);
    EXPECT_EQ(g.menu_building, 42);
    EXPECT_EQ(g.menu_flash[0], 0);
    g.open_menu = -1;
    g.menu_flash.fill(3);
    const std::uint32_t seed = g.seed;
    player_action(g, 0, 0, -1);  // a tower: nothing opens and nothing is fired at it
    player_action(g, 0, 0, 1);
    EXPECT_EQ(g.open_menu, -1);
    EXPECT_EQ(g.menu_flash[8], 3);
    EXPECT_TRUE(g.effects.empty());
    EXPECT_EQ(g.seed, seed);
    player_action(g, 0, -1, 1);
    EXPECT_EQ(g.open_menu, 0);
    EXPECT_EQ(g.menu_building, 4);

    // Setting down ignores what is there: a wall, a building, a unit.
    map_cell(g, 201, 61) = grey_wall;
    w.carry(2, building_tower);
    player_action(g, 0, 1, -1);
    EXPECT_EQ(find_building_at(g, 201, 61), 6);
    w.carry(1, building_barricade);
    player_action(g, 0, 1, 0);
    EXPECT_EQ(g.buildings.back()->kind, building_barricade);
    EXPECT_EQ(g.buildings.back()->x, 201);
    EXPECT_EQ(g.buildings.size(), 8u);
}

TEST(PlayerAction, BoltsAndCooldowns) {
    World w;
    Game& g = w.game;
    Unit& p = w.player();
    p.ammo = 0;
    player_action(g, 0, 1, 0);  // unarmed: nothing, and no draw
    EXPECT_TRUE(g.effects.empty());
    EXPECT_EQ(g.seed, 99u);

    p.affinity = 5;
    p.weapon_level = 3;
    p.links = {4, -1, 9, -1};
    std::uint32_t s = g.seed;
    const int a = random_below(s, 11);
    const int b = random_below(s, 11);
    player_action(g, 0, 1, 0);
    ASSERT_EQ(g.effects.size(), 1u);
    const Effect& bolt = *g.effects[0];
    EXPECT_EQ(bolt.kind, effect_bolt);
    EXPECT_EQ(bolt.faction, 5);
    EXPECT_EQ(bolt.links, p.links);
    EXPECT_EQ(bolt.x, 200);
    EXPECT_EQ(bolt.y, 62);
    EXPECT_EQ(bolt.life, 100);
    EXPECT_EQ(bolt.vx, a + 45);
    EXPECT_EQ(bolt.vy, b - 5);
    EXPECT_EQ(bolt.frac_x, 0);
    EXPECT_EQ(bolt.frac_y, 0);
    EXPECT_EQ(p.ammo, 85);
    EXPECT_EQ(g.seed, s);
    player_action(g, 0, 0, 1);  // not reloaded yet
    EXPECT_EQ(g.effects.size(), 1u);
    EXPECT_EQ(g.seed, s);

    // Diagonals: both sides of the coin, in all four directions.
    bool coin_seen[2] = {};
    p.affinity = 7;
    p.weapon_level = 10;
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        for (auto [dx, dy] : {std::pair{1, 1}, {1, -1}, {-1, 1}, {-1, -1}}) {
            g.seed = seed;
            p.ammo = 0;
            std::uint32_t e = seed;
            int vx = random_below(e, 11) + 50 * dx - 5;
            int vy = random_below(e, 11) + 50 * dy - 5;
            int fx = 0, fy = 0;
            const int coin = random_below(e, 2) != 0;
            coin_seen[coin] = true;
            const int slack = random_below(e, 30);
            if (coin) {
                vy = dy * 100;
                vx = dx * (100 - slack);
                fx = dx * 99;
            } else {
                vx = dx * 100;
                vy = dy * (100 - slack);
                fy = dy * 99;
            }
            player_action(g, 0, dx, dy);
            const Effect& d = *g.effects.back();
            EXPECT_EQ(d.vx, vx) << seed << " " << dx << dy;
            EXPECT_EQ(d.vy, vy) << seed << " " << dx << dy;
            EXPECT_EQ(d.frac_x, fx);
            EXPECT_EQ(d.frac_y, fy);
            EXPECT_EQ(p.ammo, 4);
            EXPECT_EQ(g.seed, e);
        }
    }
    EXPECT_TRUE(coin_seen[0] && coin_seen[1]);

    const int bases[16] = {20, 20, 30, 20, 50, 100, 30, 8, 15, 30, 20, 30, 20, 30, 50, 30};
    for (int power = 0; power < 16; ++power) {
        EXPECT_EQ(weapon_cooldown(power, 0), bases[power]) << power;
        EXPECT_EQ(weapon_cooldown(power, 25), bases[power] / 2) << power;
    }
    EXPECT_EQ(weapon_cooldown(4, 9), 27);
    EXPECT_EQ(weapon_cooldown(8, 1), 14);
    EXPECT_EQ(weapon_cooldown(7, 9), 4);
}

}  // namespace
}  // namespace qm
