// How units find and close on what they want: distance, the nearest pick with its tie list,
// the step toward a point and the wander step. Every draw here is part of a unit's turn.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "world/game.h"

namespace qm {

// distance(ax, ay, bx, by), the larger of the column and row differences, between records.
int distance(const Unit& a, const Unit& b);
int distance(const Unit& a, const Building& b);

// Within one column and one row: close enough for a blow or a conversion.
bool adjacent(const Unit& a, int x, int y);
// At most 10 columns and 10 rows away: in range of a shot or a bomb.
bool in_shot_range(const Unit& a, int x, int y);

// A set of unit or building kinds, as a bit per kind.
using KindSet = std::uint32_t;
constexpr KindSet kind_set(std::initializer_list<int> kinds) {
    KindSet set = 0;
    for (int k : kinds) set |= 1u << k;
    return set;
}
constexpr bool in_kind_set(KindSet set, int kind) { return kind >= 0 && kind < 32 && ((set >> kind) & 1u); }

// Which candidates a nearest pick considers: a kind set, and optionally one faction.
struct PickFilter {
    KindSet kinds = 0;
    int faction = -1;  // -1: any faction
};

// The nearest pick: candidates in list order; a nearer one empties the tie list, one at the
// current limit joins it; at the end one tie is drawn. A candidate at exactly the start limit
// is accepted as a tie. No result (and no draw) when nothing qualified.
Building* nearest_building(Game& game, const Unit& searcher, int limit, PickFilter filter);
Unit* nearest_unit(Game& game, const Unit& searcher, int limit, PickFilter filter);
Unit* nearest_unit(Game& game, int x, int y, int limit, PickFilter filter);

struct Step {
    int dx = 0;
    int dy = 0;
};

// dx = random(3) - 1, then dy = random(3) - 1: what a unit does when it has nothing better.
Step wander_step(Game& game);
// Closes on each axis with even odds, and drifts sideways now and then once aligned.
Step step_toward(Game& game, const Unit& unit, int tx, int ty);
// Moves unit i by the step; a zero step does not reach move_unit at all.
void move_by(Game& game, int i, Step step);

}  // namespace qm
