#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <type_traits>
#include <vector>

#include "units/pathing.h"
#include "world/game_hash.h"
#include "world/lists.h"

namespace qm {
namespace {

// A world whose positions, kinds and factions come from a seed, with crowded cells, records
// off the map and kinds no list holds, so that every path of the index is taken.
void scatter(Game& g, std::uint32_t seed, int units, int buildings) {
    g.seed = seed;
    for (int n = 0; n < units; ++n) {
        Unit u = fresh_unit(g, random(g, 12) == 0 ? 10 + random(g, 3) : random(g, 10));
        u.faction = random(g, 16);
        const bool crowd = random(g, 4) == 0;
        u.x = crowd ? 200 + random(g, 3) : random(g, 400);
        u.y = crowd ? 60 + random(g, 3) : random(g, 125);
        if (random(g, 40) == 0) u.x = -1 - random(g, 5);
        append_unit(g, u);
    }
    for (int n = 0; n < buildings; ++n) {
        Building b = fresh_building(g);
        b.kind = random(g, 9) - 1;
        b.faction = random(g, 16);
        b.x = random(g, 400);
        b.y = random(g, 125);
        if (random(g, 40) == 0) b.y = 125 + random(g, 3);
        append_building(g, b);
    }
}

// The rules the index must give, walked over the whole list: list positions of the records at
// the smallest distance, if that is at most limit, among those of the kinds and faction.
template <class List>
std::vector<int> ties_by_walk(const List& list, int x, int y, int limit, KindSet kinds, int faction) {
    std::vector<int> ties;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const auto& r = *list[i];
        if (!in_kind_set(kinds, r.kind) || (faction >= 0 && r.faction != faction)) continue;
        const int d = std::max(std::abs(r.x - x), std::abs(r.y - y));
        if (d < limit) ties.clear(), limit = d;
        if (d == limit) ties.push_back(static_cast<int>(i));
    }
    return ties;
}

template <class List>
std::vector<int> near_by_walk(const List& list, int x, int y, int reach) {
    std::vector<int> out;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (std::abs(list[i]->x - x) <= reach && std::abs(list[i]->y - y) <= reach) out.push_back(static_cast<int>(i));
    }
    return out;
}

template <class Loan>
std::vector<int> positions(const Game& g, const Loan& records) {
    std::vector<int> out;
    for (const auto* r : records) {
        if constexpr (std::is_same_v<decltype(r), const Unit*>) {
            out.push_back(unit_index(g, r));
        } else {
            out.push_back(building_index(g, r));
        }
    }
    return out;
}

// The world changes under the index the ways the game changes it (steps, turned kinds,
// records appended and removed, the fallen swept out) and every answer stays that of a walk
// over the whole list, in list order.
TEST(WorldIndex, AnswersAsAWalkOverTheListsWhileTheWorldChanges) {
    for (std::uint32_t seed : {3u, 17u}) {
        auto g = std::make_unique<Game>();
        scatter(*g, seed, 1200, 300);
        // Three records onto one cell and off again: its list stays whole, the first filed too.
        for (std::size_t k : {0u, 1u, 2u}) change_kind(*g, *g->units[k], unit_ooze), place_unit(*g, *g->units[k], 100, 100);
        for (std::size_t k : {1u, 2u, 0u}) {
            place_unit(*g, *g->units[k], 101, 100);
            ASSERT_EQ(g->index.disagreement(g->units, g->buildings, g->effects), "") << k;
        }
        std::uint32_t dice = seed;
        auto below = [&](int n) { return random_below(dice, n); };
        for (int q = 0; q < 2500; ++q) {
            const int x = below(3) == 0 ? 200 + below(3) : below(400), y = below(3) == 0 ? 60 + below(3) : below(125);
            const int limit = below(3) == 0 ? 1050 : below(40);
            const KindSet kinds = static_cast<KindSet>(below(1 << 11));
            const int faction = below(3) == 0 ? below(16) : -1;
            ASSERT_EQ(positions(*g, g->index.nearest_units(x, y, limit, kinds, faction)),
                      ties_by_walk(g->units, x, y, limit, kinds, faction)) << "query " << q;
            ASSERT_EQ(positions(*g, g->index.nearest_buildings(x, y, limit, kinds, faction)),
                      ties_by_walk(g->buildings, x, y, limit, kinds, faction)) << "query " << q;
            ASSERT_EQ(positions(*g, g->index.units_at(x, y)), near_by_walk(g->units, x, y, 0));
            ASSERT_EQ(positions(*g, g->index.buildings_near(x, y, 2)), near_by_walk(g->buildings, x, y, 2));
            const std::vector<int> here = near_by_walk(g->buildings, x, y, 0);
            ASSERT_EQ(find_building_at(*g, x, y), here.empty() ? -1 : here.front());

            Unit& mover = *g->units[static_cast<std::size_t>(below(static_cast<int>(g->units.size())))];
            place_unit(*g, mover, below(50) == 0 ? -2 : std::clamp(mover.x + below(3) - 1, 0, map_width - 1),
                       std::clamp(mover.y + below(3) - 1, 0, map_height - 1));
            if (below(10) == 0) change_kind(*g, mover, below(20) == 0 ? 11 : unit_ooze);
            if (below(10) == 0) change_kind(*g, *g->buildings[static_cast<std::size_t>(below(300))], below(8) - 1);
            if (below(5) == 0) {
                Unit u = fresh_unit(*g, below(10));
                u.x = x, u.y = y;
                append_unit(*g, u);
                remove_unit(*g, static_cast<std::size_t>(below(static_cast<int>(g->units.size()))));
                Building b = fresh_building(*g);
                b.kind = below(7), b.x = x, b.y = y;
                append_building(*g, b);
                remove_building(*g, static_cast<std::size_t>(below(static_cast<int>(g->buildings.size()))));
            }
            if (below(100) == 0) {
                for (auto& u : g->units) u->hit_points = below(4) == 0 ? 0 : 1;
                remove_fallen_units(*g);
            }
            ASSERT_EQ(g->index.disagreement(g->units, g->buildings, g->effects), "") << "query " << q;
        }
    }
}

}  // namespace
}  // namespace qm
