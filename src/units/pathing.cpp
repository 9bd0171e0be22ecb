#include "units/pathing.h"

#include <cstdlib>
#include <vector>

#include "flow/movement.h"

namespace qm {

namespace {

constexpr int shot_range = 10;

// One tie of a nearest pick, drawn; no draw when nothing qualified.
template <class Ties>
auto draw_tie(Game& game, const Ties& ties) {
    return ties.empty() ? nullptr : ties[static_cast<std::size_t>(random(game, static_cast<int>(ties.size())))];
}

}  // namespace

int distance(const Unit& a, const Unit& b) { return distance(a.x, a.y, b.x, b.y); }
int distance(const Unit& a, const Building& b) { return distance(a.x, a.y, b.x, b.y); }

bool adjacent(const Unit& a, int x, int y) { return std::abs(a.x - x) <= 1 && std::abs(a.y - y) <= 1; }

bool in_shot_range(const Unit& a, int x, int y) {
    return std::abs(a.x - x) <= shot_range && std::abs(a.y - y) <= shot_range;
}

Building* nearest_building(Game& game, const Unit& searcher, int limit, PickFilter filter) {
    return draw_tie(game, game.index.nearest_buildings(searcher.x, searcher.y, limit, filter.kinds, filter.faction));
}

Unit* nearest_unit(Game& game, int x, int y, int limit, PickFilter filter) {
    return draw_tie(game, game.index.nearest_units(x, y, limit, filter.kinds, filter.faction));
}

Unit* nearest_unit(Game& game, const Unit& searcher, int limit, PickFilter filter) {
    return nearest_unit(game, searcher.x, searcher.y, limit, filter);
}

Step wander_step(Game& game) {
    Step s;
    s.dx = random(game, 3) - 1;
    s.dy = random(game, 3) - 1;
    return s;
}

Step step_toward(Game& game, const Unit& unit, int tx, int ty) {
    Step s;
    if (tx < unit.x && random(game, 2) != 0) s.dx = -1;
    if (unit.x < tx && random(game, 2) != 0) s.dx = 1;
    if (ty < unit.y && random(game, 2) != 0) s.dy = -1;
    if (unit.y < ty && random(game, 2) != 0) s.dy = 1;
    if (tx == unit.x && random(game, 3) == 0) s.dx = random(game, 3) - 1;
    if (ty == unit.y && random(game, 3) == 0) s.dy = random(game, 3) - 1;
    return s;
}

void move_by(Game& game, int i, Step step) {
    if (step.dx != 0 || step.dy != 0) move_unit(game, i, step.dx, step.dy);
}

}  // namespace qm
