#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "units/death_sweep.h"
#include "units/pathing.h"
#include "world/game_hash.h"
#include "world/lists.h"
#include "world/world_index.h"

namespace qm {
namespace {

// A world whose positions, kinds and factions come from a seed, with crowded cells, records
// off the map and kinds no list holds, so that every path of the index is taken.
void scatter(Game& g, std::uint32_t seed, int units, int buildings) {
    g.seed = seed;
    for (int n = 0; n < units; ++n) {
        Unit u = fresh_unit(g);
        u.kind = random(g, 12) == 0 ? 10 + random(g, 3) : random(g, 10);
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

TEST(WorldIndex, NearestPicksAndCellWalksAgreeWithThePlainWalks) {
    for (std::uint32_t seed : {3u, 17u, 99u}) {
        auto indexed = std::make_unique<Game>();
        auto plain = std::make_unique<Game>();
        plain->plain_scans = true;
        scatter(*indexed, seed, 1500, 300);
        scatter(*plain, seed, 1500, 300);
        open_indexes(*indexed);
        ASSERT_TRUE(indexed->index.units_ready());
        ASSERT_TRUE(indexed->index.buildings_usable(*indexed));

        std::uint32_t dice = seed;
        auto below = [&](int n) { return random_below(dice, n); };
        int found = 0;
        for (int q = 0; q < 3000; ++q) {
            const std::size_t s = static_cast<std::size_t>(below(1500));
            const int limit = below(3) == 0 ? 1050 : below(40);
            PickFilter filter{static_cast<KindSet>(below(1 << 11)), below(3) == 0 ? below(16) : -1};
            // Both draw from their own generator: the same seed on both sides.
            indexed->seed = plain->seed = static_cast<std::uint32_t>(q);
            Unit* a = nearest_unit(*indexed, *indexed->units[s], limit, filter);
            Unit* b = nearest_unit(*plain, *plain->units[s], limit, filter);
            ASSERT_EQ(unit_index(*indexed, a), unit_index(*plain, b)) << "seed " << seed << " query " << q;
            ASSERT_EQ(indexed->seed, plain->seed) << "the same number of draws";
            found += a != nullptr;
            Building* c = nearest_building(*indexed, *indexed->units[s], limit, filter);
            Building* d = nearest_building(*plain, *plain->units[s], limit, filter);
            ASSERT_EQ(building_index(*indexed, c), building_index(*plain, d)) << "seed " << seed << " query " << q;

            // A unit steps, or an ooze takes over a unit: the index follows.
            Unit& mover = *indexed->units[s];
            const int ox = mover.x, oy = mover.y;
            mover.x = std::clamp(mover.x + below(3) - 1, 0, map_width - 1);
            mover.y = std::clamp(mover.y + below(3) - 1, 0, map_height - 1);
            plain->units[s]->x = mover.x;
            plain->units[s]->y = mover.y;
            indexed->index.unit_moved(*indexed, static_cast<int>(s), ox, oy);
            if (below(20) == 0) {
                const int old_kind = mover.kind;
                mover.kind = plain->units[s]->kind = unit_ooze;
                indexed->index.unit_changed_kind(*indexed, mover, old_kind);
            }
        }
        EXPECT_GT(found, 1000);

        std::vector<int> here;
        for (int x = 195; x <= 205; ++x) {
            for (int y = 55; y <= 65; ++y) {
                std::vector<int> expected;
                for (std::size_t i = 0; i < plain->units.size(); ++i) {
                    if (plain->units[i]->x == x && plain->units[i]->y == y) expected.push_back(static_cast<int>(i));
                }
                indexed->index.units_at(*indexed, x, y, here);
                ASSERT_EQ(here, expected) << x << "," << y;
                expected.clear();
                for (std::size_t i = 0; i < plain->buildings.size(); ++i) {
                    const Building& b = *plain->buildings[i];
                    if (std::abs(b.x - x) <= 2 && std::abs(b.y - y) <= 2) expected.push_back(static_cast<int>(i));
                }
                indexed->index.buildings_near(*indexed, x, y, 2, here);
                ASSERT_EQ(here, expected) << x << "," << y;
            }
        }
        // Any append or removal puts the unit index away until the next update opens it.
        remove_unit(*indexed, 5);
        EXPECT_FALSE(indexed->index.units_ready());
        close_indexes(*indexed);
        EXPECT_FALSE(indexed->index.buildings_usable(*indexed));
    }
}


// The fallen go in one pass with the indexes on, one by one without: the same references are
// cleared (targets among the fallen, carried buildings of the fallen) and the same units stay.
TEST(WorldIndex, TheFallenGoAsTheyWouldOneByOne) {
    std::vector<std::uint64_t> hashes;
    for (bool plain : {true, false}) {
        auto g = std::make_unique<Game>();
        g->plain_scans = plain;
        scatter(*g, 5, 400, 40);
        g->units[0]->kind = unit_player;
        for (std::size_t i = 0; i < g->units.size(); ++i) {
            Unit& u = *g->units[i];
            u.hit_points = i % 3 == 0 ? 0 : 4;
            u.target_unit = g->units[(i * 7) % g->units.size()].get();
            u.target_building = i % 2 == 0 ? g->buildings[i % g->buildings.size()].get()
                                           : &g->units[(i * 5) % g->units.size()]->carry_slots[i % 8];
        }
        death_sweep(*g);
        EXPECT_LT(g->units.size(), 300u);
        int cleared_units = 0, cleared_slots = 0;
        for (const auto& u : g->units) {
            cleared_units += u->target_unit == nullptr;
            cleared_slots += u->target_building == nullptr;
        }
        EXPECT_GT(cleared_units, 50);
        EXPECT_GT(cleared_slots, 20);
        hashes.push_back(game_hash(*g));
    }
    EXPECT_EQ(hashes[0], hashes[1]);
}

}  // namespace
}  // namespace qm
