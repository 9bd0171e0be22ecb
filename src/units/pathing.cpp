#include "units/pathing.h"

#include <cstdlib>
#include <vector>

#include "flow/movement.h"

namespace qm {

namespace {

constexpr int shot_range = 10;

template <class Record>
Record* nearest_pick(Game& game, const std::vector<std::unique_ptr<Record>>& list, const Unit& searcher,
                     int limit, PickFilter filter) {
    std::vector<Record*> ties;
    for (const auto& candidate : list) {
        if (!filter.passes(candidate->kind, candidate->faction)) continue;
        const int d = distance(searcher.x, searcher.y, candidate->x, candidate->y);
        if (d < limit) {
            ties.clear();
            ties.push_back(candidate.get());
            limit = d;
        } else if (d == limit) {
            ties.push_back(candidate.get());
        }
    }
    if (ties.empty()) return nullptr;
    return ties[static_cast<std::size_t>(random(game, static_cast<int>(ties.size())))];
}

}  // namespace

int distance(int ax, int ay, int bx, int by) {
    const int across = std::abs(ax - bx);
    const int down = std::abs(ay - by);
    return across > down ? across : down;
}

int distance(const Unit& a, const Unit& b) { return distance(a.x, a.y, b.x, b.y); }
int distance(const Unit& a, const Building& b) { return distance(a.x, a.y, b.x, b.y); }

bool adjacent(const Unit& a, int x, int y) { return std::abs(a.x - x) <= 1 && std::abs(a.y - y) <= 1; }

bool in_shot_range(const Unit& a, int x, int y) {
    return std::abs(a.x - x) <= shot_range && std::abs(a.y - y) <= shot_range;
}

namespace {

// The same pick through the index: the tie list comes back whole and in list order, so the
// one draw falls as in the plain walk.
template <class Record>
Record* indexed_pick(Game& game, const std::vector<std::unique_ptr<Record>>& list, const std::vector<int>& ties) {
    if (ties.empty()) return nullptr;
    const int k = random(game, static_cast<int>(ties.size()));
    return list[static_cast<std::size_t>(ties[static_cast<std::size_t>(k)])].get();
}

}  // namespace

Building* nearest_building(Game& game, const Unit& searcher, int limit, PickFilter filter) {
    if (!game.plain_scans && game.index.buildings_usable(game)) {
        static thread_local std::vector<int> ties;
        game.index.nearest_buildings(game, searcher.x, searcher.y, limit, filter.kinds, filter.faction, ties);
        return indexed_pick(game, game.buildings, ties);
    }
    return nearest_pick(game, game.buildings, searcher, limit, filter);
}

Unit* nearest_unit(Game& game, const Unit& searcher, int limit, PickFilter filter) {
    if (!game.plain_scans && game.index.units_ready()) {
        static thread_local std::vector<int> ties;
        game.index.nearest_units(game, searcher.x, searcher.y, limit, filter.kinds, filter.faction, ties);
        return indexed_pick(game, game.units, ties);
    }
    return nearest_pick(game, game.units, searcher, limit, filter);
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
