#include <gtest/gtest.h>

#include "support/scripted_terminal.h"

#include <tuple>

#include "menus/menu_actions.h"
#include "records/statistics.h"
#include "units/combat.h"
#include "world/lists.h"

namespace qm {
namespace {

// A player beside a node of faction 3 at (205, 62) in the start sector, its menu open.
void node_menu_world(Game& g, int ooze) {
    g.seed = 77;
    Unit player = fresh_unit(g);
    player.x = 204;
    player.y = 62;
    append_unit(g, player);
    Building node = fresh_building(g);
    node.kind = building_node;
    node.faction = 3;
    node.x = 205;
    node.y = 62;
    append_building(g, node);
    g.open_menu = 0;
    g.menu_building = 0;
    g.ooze_store[3] = ooze;
}

void add_building(Game& g, int kind, int faction, int x, int y) {
    Building b = fresh_building(g);
    b.kind = kind;
    b.faction = faction;
    b.x = x;
    b.y = y;
    append_building(g, b);
}

std::uint32_t counter(const Game& g, int index) { return g.current_statistics.counters[index]; }

TEST(MenuPurchases, EachPurchaseWithItsPriceAndWhatItMakes) {
    Game g;
    node_menu_world(g, 1000);
    add_building(g, building_node, 6, 203, 61);   // TL
    add_building(g, building_node, 5, 203, 61);   // TL again: the later one wins
    add_building(g, building_tower, 8, 206, 60);  // TR offset, but not a node
    add_building(g, building_node, 9, 207, 63);   // BR
    const LinkedFactions linked{5, -1, -1, 9};
    g.units[0]->skill_levels[power_toughness] = 2;

    // The draws each purchase must make, in order: the neighbour cell (i, then j, again until
    // the cell is free), then the new record's own.
    std::uint32_t s = 0;
    auto draw = [&](int n) { return random_below(s, n); };
    auto free_cell = [&] {
        for (;;) {
            const int x = 205 + draw(3) - 1, y = 62 + draw(3) - 1;
            if ((x != 205 || y != 62) && find_building_at(g, x, y) < 0) return std::pair{x, y};
        }
    };

    s = g.seed;
    EXPECT_FALSE(menu_key(g, -1, -1));  // q: allegiance
    EXPECT_EQ(std::tuple(g.ooze_store[3], g.units[0]->faction, g.units[0]->affinity, g.menu_flash[0]),
              std::tuple(997, 3, 3, 23));
    EXPECT_EQ(g.units[0]->links, linked);
    EXPECT_EQ(g.seed, s) << "allegiance draws nothing";

    const struct {
        int dx, dy, price, kind, flash;
    } buys[] = {{0, -1, 10, building_tower, 3}, {-1, 0, 1, building_barricade, 1}};
    for (const auto& buy : buys) {
        const int store = g.ooze_store[3];
        s = g.seed;
        const auto cell = free_cell();
        const int phase = draw(500);
        EXPECT_FALSE(menu_key(g, buy.dx, buy.dy));
        const Building& b = *g.buildings.back();
        EXPECT_EQ(std::tuple(b.x, b.y, b.phase, g.seed), std::tuple(cell.first, cell.second, phase, s));
        EXPECT_EQ(std::tuple(g.ooze_store[3], g.menu_flash[buy.flash], b.kind, b.faction, b.links),
                  std::tuple(store - buy.price, 23, buy.kind, 3, linked));
        EXPECT_EQ(b.hit_points, buy.kind == building_barricade ? 30 : 10);
        EXPECT_LE(std::abs(b.x - 205), 1);
        EXPECT_LE(std::abs(b.y - 62), 1);
        EXPECT_EQ(find_building_at(g, b.x, b.y), static_cast<int>(g.buildings.size()) - 1);
    }
    EXPECT_EQ(counter(g, stat_total_recruits), 0u);  // buildings are no recruits

    // Soldiers and generals feel the player's skill: toughness 2 (doubled for a general).
    const struct {
        int dx, dy, price, kind, hit_points, flash;
    } recruits[] = {{1, -1, 10, unit_own_soldier, 5, 6}, {1, 0, 30, unit_own_general, 14, 7},
                    {-1, 1, 50, unit_own_flier, 3, 2}};
    for (const auto& r : recruits) {
        const int store = g.ooze_store[3];
        s = g.seed;
        const auto cell = r.kind == unit_own_flier ? std::pair{205, 62} : free_cell();
        std::array<int, 8> carry_phases{};
        for (int& p : carry_phases) p = draw(500);
        const int phase = draw(500);
        EXPECT_FALSE(menu_key(g, r.dx, r.dy));
        const Unit& u = *g.units.back();
        EXPECT_EQ(std::tuple(u.x, u.y, u.phase, g.seed), std::tuple(cell.first, cell.second, phase, s));
        for (std::size_t k = 0; k < 8; ++k) EXPECT_EQ(u.carry_slots[k].phase, carry_phases[k]);
        EXPECT_EQ(std::tuple(g.ooze_store[3], g.menu_flash[r.flash], u.kind, u.faction, u.affinity, u.links),
                  std::tuple(store - r.price, 23, r.kind, 3, 3, linked));
        EXPECT_EQ(std::tuple(u.hit_points, u.max_hit_points), std::tuple(r.hit_points, r.hit_points));
        EXPECT_EQ(counter(g, recruits_index(3, r.kind)), 1u);
        EXPECT_EQ(counter(g, stat_recruits_by_kind + r.kind), 1u);
    }
    const Unit& flier = *g.units.back();
    EXPECT_EQ(std::tuple(flier.x, flier.y, flier.ammo), std::tuple(205, 62, 10));  // on the node itself
    EXPECT_EQ(counter(g, stat_total_recruits), 3u);

    // c: the promotion's price, then its screen, left with a key; ESC there would quit.
    test::ScriptedTerminal t;
    g.terminal = &t;
    t.type({' '});
    EXPECT_FALSE(menu_key(g, 1, 1));
    EXPECT_GE(t.frames(), 1u);
    EXPECT_EQ(g.ooze_store[3], 1000 - 3 - 10 - 1 - 10 - 30 - 50 - 250);
    EXPECT_EQ(g.menu_flash[8], 23);
    EXPECT_EQ(counter(g, stat_spent + 3), 354u);
    EXPECT_EQ(counter(g, stat_total_spent), 354u);
    EXPECT_EQ(g.open_menu, 0);  // the menu stays open
}

TEST(MenuPurchases, TooPoorOrAtTheLimitCostsNothingAndDrawsNothing) {
    Game g;
    node_menu_world(g, 9);
    std::uint32_t seed = g.seed;
    EXPECT_FALSE(menu_key(g, 0, -1));
    EXPECT_FALSE(menu_key(g, 1, -1));
    EXPECT_EQ(g.ooze_store[3], 9);
    EXPECT_EQ(g.menu_flash, (std::array<std::int32_t, 9>{}));
    EXPECT_EQ(g.seed, seed);
    menu_key(g, -1, 0);
    menu_key(g, -1, -1);
    EXPECT_EQ(g.ooze_store[3], 5);

    g.ooze_store[3] = 1000;
    for (int i = 0; i < 500; ++i) add_building(g, building_tower, 0, 300, 100);
    for (int i = 0; i < 500; ++i) add_building(g, building_barricade, 0, 300, 101);
    for (int i = 0; i < 500; ++i) {
        Unit u;
        u.kind = i % 2 ? unit_own_soldier : unit_own_general;
        append_unit(g, u);
        u.kind = unit_own_flier;
        append_unit(g, u);
    }
    const auto units = g.units.size();
    const auto buildings = g.buildings.size();
    seed = g.seed;
    for (auto [dx, dy] : {std::pair{0, -1}, {-1, 0}, {1, -1}, {1, 0}, {-1, 1}}) EXPECT_FALSE(menu_key(g, dx, dy));
    EXPECT_EQ(g.ooze_store[3], 1000);
    EXPECT_EQ(g.units.size(), units);
    EXPECT_EQ(g.buildings.size(), buildings);
    EXPECT_EQ(g.seed, seed);
}

TEST(MenuPurchases, NoFreeNeighbourTakesThePriceAndBuildsNothing) {
    Game g;
    node_menu_world(g, 100);
    for (int i = -1; i <= 1; ++i) {
        for (int j = -1; j <= 1; ++j) {
            if (i != 0 || j != 0) add_building(g, building_barricade, 3, 205 + i, 62 + j);
        }
    }
    const auto units = g.units.size();
    for (auto [dx, dy] : {std::pair{0, -1}, {1, -1}, {-1, 0}, {1, 0}}) EXPECT_FALSE(menu_key(g, dx, dy));
    EXPECT_EQ(g.ooze_store[3], 100 - 10 - 10 - 1 - 30);
    EXPECT_EQ(g.buildings.size(), 9u);
    EXPECT_EQ(g.units.size(), units);
    EXPECT_EQ(counter(g, stat_total_recruits), 0u);
    EXPECT_EQ(g.menu_flash[menu_box_index(1, 0)], 23);

    // At the west wall of the open area the one free cell inside is always the one chosen.
    for (std::uint32_t seed = 1; seed < 40; ++seed) {
        Game h;
        node_menu_world(h, 10);
        h.seed = seed;
        h.buildings[0]->x = 160;
        for (auto [x, y] : {std::pair{160, 61}, {160, 63}, {161, 61}, {161, 62}}) add_building(h, building_tower, 3, x, y);
        menu_key(h, 0, -1);
        ASSERT_EQ(h.buildings.size(), 6u);
        EXPECT_EQ(h.buildings.back()->x, 161);
        EXPECT_EQ(h.buildings.back()->y, 63);
    }
}

TEST(MenuKeys, ClosingHintMenusAndAVanishedNode) {
    Game g;
    node_menu_world(g, 1000);
    for (int menu : {1, 2}) {
        g.open_menu = menu;
        for (auto [dx, dy] : {std::pair{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {1, 1}}) {
            EXPECT_FALSE(menu_key(g, dx, dy));
            EXPECT_EQ(g.open_menu, menu);
        }
        menu_key(g, 0, 1);
        EXPECT_EQ(g.open_menu, -1);
    }
    EXPECT_EQ(g.ooze_store[3], 1000);

    g.open_menu = 0;
    menu_key(g, 0, 1);
    EXPECT_EQ(g.open_menu, -1);

    // The node's index has run past the end of the list, or its building has no ooze store
    // to pay from: the menu closes, nothing is bought.
    for (auto [index, faction] : {std::pair{1, 3}, {-1, 3}, {0, 16}, {0, -1}}) {
        g.open_menu = 0;
        g.menu_building = index;
        g.buildings[0]->faction = faction;
        EXPECT_FALSE(menu_key(g, 0, -1));
        EXPECT_EQ(g.open_menu, -1);
        EXPECT_EQ(g.ooze_store[3], 1000);
        EXPECT_EQ(g.buildings.size(), 1u);
    }
}

}  // namespace
}  // namespace qm
