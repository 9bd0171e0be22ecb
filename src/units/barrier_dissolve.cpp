#include "units/barrier_dissolve.h"

#include <vector>

namespace qm {

namespace {

struct FrontierCell {
    int x, y;
};

}  // namespace

void dissolve_barrier(Game& game, int x, int y) {
    if (!on_map(x, y)) return;
    // Generation by generation, with frontiers that grow as needed. A cell turns to floor as
    // soon as it joins a frontier, so it joins only once: the floor that results is the same,
    // but a thick patch of barrier no longer multiplies its cells in every generation.
    std::vector<FrontierCell> current{{x, y}};
    std::vector<FrontierCell> next;
    map_cell(game, x, y) = open_ground;
    auto reach = [&](int nx, int ny) {
        Cell& cell = map_cell(game, nx, ny);
        if (cell.glyph != glyph_barrier) return;
        cell = open_ground;
        next.push_back({nx, ny});
    };
    while (!current.empty()) {
        next.clear();
        for (const FrontierCell& c : current) {
            if (c.x > 0) reach(c.x - 1, c.y);
            if (c.x < map_width - 1) reach(c.x + 1, c.y);
            if (c.y > 0) reach(c.x, c.y - 1);
            if (c.y < map_height - 1) reach(c.x, c.y + 1);
        }
        current.swap(next);
    }
}

}  // namespace qm
