#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

#include "flow/megaboss_wave.h"
#include "units/combat.h"
#include "world/lists.h"

namespace qm {
namespace {

// The megaboss first, then per group runs of soldiers, generals, bosses, fliers and oozes, each
// group at one point on the map's edge, all of the megaboss's faction.
TEST(MegabossWave, UnitsAndCountsWithTheHitPointCapAndAtMostTenExtraGroups) {
    const int kinds[] = {unit_enemy_soldier, unit_enemy_general, unit_boss, unit_enemy_flier, unit_ooze};
    const int base_hit_points[] = {3, 10, 50, 3, 3};
    const int least[] = {30, 7, 3, 5, 50, 10, 4, 2, 3, 10}, most[] = {59, 13, 5, 9, 99, 19, 7, 3, 5, 19};
    // Megabosses defeated, the megaboss's hit points before its stat bonus, the extra groups.
    for (const auto& [defeated, hit_points, groups] : {std::tuple{0, 100, 0}, {1, 150, 1}, {8, 500, 8}, {12, 500, 10}}) {
        Game g;
        g.seed = 99 + static_cast<std::uint32_t>(defeated);
        g.megaboss_type = 6;
        g.megabosses_defeated = defeated;
        append_unit(g, Unit(unit_player));
        spawn_wave(g);
        const Unit& boss = *g.units[1];
        EXPECT_EQ(std::tuple(boss.kind, boss.faction, boss.flags, boss.max_hit_points, boss.x, boss.y),
                  std::tuple(unit_boss, 6, unit_megaboss, boss.hit_points, g.units[2]->x, g.units[2]->y));
        EXPECT_EQ(boss.hit_points - 20 * stat(g, boss, power_toughness), hit_points) << defeated;
        std::size_t i = 2;
        for (int group = 0; group <= groups; ++group) {
            const Unit first = *g.units.at(i);
            EXPECT_TRUE(first.y == 1 || first.y == 123 || first.x == 1 || first.x == 398) << first.x << "," << first.y;
            for (int k = 0; k < 5; ++k) {
                int count = 0;
                for (; i < g.units.size() && g.units[i]->kind == kinds[k]; ++i, ++count) {
                    // Fighters are finished with their toughness; fliers and oozes keep 3.
                    const Unit& u = *g.units[i];
                    const int hp = base_hit_points[k] + (k < 3 ? stat(g, u, power_toughness) : 0);
                    ASSERT_EQ(std::tuple(u.x, u.y, u.faction, u.flags, u.hit_points, u.max_hit_points),
                              std::tuple(first.x, first.y, 6, kinds[k] == unit_ooze ? unit_swift : 0u, hp, hp));
                }
                const int r = group == 0 ? k : 5 + k;
                EXPECT_TRUE(count >= least[r] && count <= most[r]) << defeated << " " << group << " " << k;
            }
        }
        EXPECT_EQ(i, g.units.size());
    }
}

}  // namespace
}  // namespace qm
