#include "world/world_index.h"

#include <algorithm>
#include <cstdlib>

#include "world/game.h"

namespace qm {

namespace index_detail {

namespace {

int bucket_of(int x, int y) { return (x / bucket_size) * buckets_down + y / bucket_size; }

void insert_sorted(std::vector<int>& v, int i) { v.insert(std::lower_bound(v.begin(), v.end(), i), i); }

void erase_sorted(std::vector<int>& v, int i) {
    const auto it = std::lower_bound(v.begin(), v.end(), i);
    if (it != v.end() && *it == i) v.erase(it);
}

}  // namespace

void Grid::clear(std::size_t entries) {
    for (int t : touched_) lists_[static_cast<std::size_t>(t)].clear();
    touched_.clear();
    for (auto& m : members_) m.clear();
    strays_.clear();
    where_.assign(entries, Where{});
    if (stamp_.empty()) {
        stamp_.assign(map_width * map_height, 0u);
        head_.assign(map_width * map_height, -1);
    }
    if (++generation_ == 0) {
        std::fill(stamp_.begin(), stamp_.end(), 0u);
        generation_ = 1;
    }
}

void Grid::link(int i, int x, int y) {
    const auto c = static_cast<std::size_t>(map_index(x, y));
    if (stamp_[c] != generation_) {
        stamp_[c] = generation_;
        head_[c] = -1;
    }
    Where& w = where_[static_cast<std::size_t>(i)];
    w.prev = -1;
    w.next = head_[c];
    if (w.next >= 0) where_[static_cast<std::size_t>(w.next)].prev = i;
    head_[c] = i;
}

void Grid::unlink(int i, int x, int y) {
    const auto c = static_cast<std::size_t>(map_index(x, y));
    Where& w = where_[static_cast<std::size_t>(i)];
    if (w.prev >= 0) {
        where_[static_cast<std::size_t>(w.prev)].next = w.next;
    } else {
        head_[c] = w.next;
    }
    if (w.next >= 0) where_[static_cast<std::size_t>(w.next)].prev = w.prev;
    w.prev = w.next = -1;
}

void Grid::bucket_add(int i, int kind, int b) {
    auto& list = lists_[static_cast<std::size_t>(kind * bucket_count + b)];
    if (list.empty()) touched_.push_back(kind * bucket_count + b);
    Where& w = where_[static_cast<std::size_t>(i)];
    w.bucket = b;
    w.slot = static_cast<int>(list.size());
    list.push_back(i);
}

void Grid::bucket_remove(int i, int kind) {
    Where& w = where_[static_cast<std::size_t>(i)];
    auto& list = lists_[static_cast<std::size_t>(kind * bucket_count + w.bucket)];
    const int last = list.back();
    list[static_cast<std::size_t>(w.slot)] = last;
    where_[static_cast<std::size_t>(last)].slot = w.slot;
    list.pop_back();
}

void Grid::add(int i, int kind, int x, int y) {
    if (where_.size() <= static_cast<std::size_t>(i)) where_.resize(static_cast<std::size_t>(i) + 1);
    // Entries come in ascending order, so each list stays sorted by appending.
    if (kind < 0 || kind >= kinds_ || !on_map(x, y)) {
        where_[static_cast<std::size_t>(i)].bucket = -1;
        strays_.push_back(i);
        return;
    }
    members_[static_cast<std::size_t>(kind)].push_back(i);
    bucket_add(i, kind, bucket_of(x, y));
    link(i, x, y);
}

void Grid::move(int i, int old_x, int old_y, int x, int y, int kind) {
    if (stray(i)) return;
    unlink(i, old_x, old_y);
    if (!on_map(x, y)) {
        // Off the map it is only ever found by looking at it directly.
        bucket_remove(i, kind);
        erase_sorted(members_[static_cast<std::size_t>(kind)], i);
        where_[static_cast<std::size_t>(i)].bucket = -1;
        insert_sorted(strays_, i);
        return;
    }
    link(i, x, y);
    const int b = bucket_of(x, y);
    if (b != where_[static_cast<std::size_t>(i)].bucket) {
        bucket_remove(i, kind);
        bucket_add(i, kind, b);
    }
}

void Grid::change_kind(int i, int old_kind, int kind, int x, int y) {
    if (stray(i) || old_kind == kind) return;
    const int b = where_[static_cast<std::size_t>(i)].bucket;
    bucket_remove(i, old_kind);
    erase_sorted(members_[static_cast<std::size_t>(old_kind)], i);
    if (kind < 0 || kind >= kinds_) {
        unlink(i, x, y);
        where_[static_cast<std::size_t>(i)].bucket = -1;
        insert_sorted(strays_, i);
        return;
    }
    insert_sorted(members_[static_cast<std::size_t>(kind)], i);
    bucket_add(i, kind, b);
}

}  // namespace index_detail

namespace {

using index_detail::bucket_count;
using index_detail::bucket_size;
using index_detail::buckets_across;
using index_detail::buckets_down;
using index_detail::Grid;

// Below this many candidates of the wanted kinds a walk over them beats the rings.
constexpr std::size_t few_candidates = 48;

int cell_distance(int ax, int ay, int bx, int by) { return std::max(std::abs(ax - bx), std::abs(ay - by)); }

template <class List>
void nearest_in(const Grid& grid, const List& list, int x, int y, int limit, std::uint32_t kinds, int faction,
                std::vector<int>& ties) {
    ties.clear();
    int best = limit;
    auto consider = [&](int i) {
        const auto& r = *list[static_cast<std::size_t>(i)];
        if (r.kind < 0 || r.kind >= 32 || ((kinds >> r.kind) & 1u) == 0) return;
        if (faction >= 0 && r.faction != faction) return;
        const int d = cell_distance(x, y, r.x, r.y);
        if (d < best) {
            ties.clear();
            ties.push_back(i);
            best = d;
        } else if (d == best) {
            ties.push_back(i);
        }
    };
    for (int i : grid.strays()) consider(i);

    int wanted[32];
    int wanted_count = 0;
    std::size_t candidates = 0;
    for (int k = 0; k < grid.kinds(); ++k) {
        if (((kinds >> k) & 1u) == 0 || grid.members(k).empty()) continue;
        wanted[wanted_count++] = k;
        candidates += grid.members(k).size();
    }
    if (candidates <= few_candidates || !on_map(x, y)) {
        for (int n = 0; n < wanted_count; ++n) {
            for (int i : grid.members(wanted[n])) consider(i);
        }
    } else {
        const int bx = x / bucket_size;
        const int by = y / bucket_size;
        const int widest = std::max({bx, buckets_across - 1 - bx, by, buckets_down - 1 - by});
        auto visit = [&](int cx, int cy) {
            if (cx < 0 || cx >= buckets_across || cy < 0 || cy >= buckets_down) return;
            const int x0 = cx * bucket_size, y0 = cy * bucket_size;
            const int dx = x < x0 ? x0 - x : std::max(0, x - (x0 + bucket_size - 1));
            const int dy = y < y0 ? y0 - y : std::max(0, y - (y0 + bucket_size - 1));
            if (std::max(dx, dy) > best) return;
            const int b = cx * buckets_down + cy;
            for (int n = 0; n < wanted_count; ++n) {
                for (int i : grid.bucket(wanted[n], b)) consider(i);
            }
        };
        for (int r = 0; r <= widest; ++r) {
            // Every cell of a bucket r rings out is at least this far from any cell of ours.
            if (r > 0 && (r - 1) * bucket_size + 1 > best) break;
            if (r == 0) {
                visit(bx, by);
                continue;
            }
            for (int cx = bx - r; cx <= bx + r; ++cx) {
                visit(cx, by - r);
                visit(cx, by + r);
            }
            for (int cy = by - r + 1; cy <= by + r - 1; ++cy) {
                visit(bx - r, cy);
                visit(bx + r, cy);
            }
        }
    }
    std::sort(ties.begin(), ties.end());
}

template <class List>
void gather_at(const Grid& grid, const List& list, int x, int y, int reach, std::vector<int>& out) {
    out.clear();
    for (int cx = x - reach; cx <= x + reach; ++cx) {
        for (int cy = y - reach; cy <= y + reach; ++cy) grid.for_each_at(cx, cy, [&](int i) { out.push_back(i); });
    }
    for (int i : grid.strays()) {
        const auto& r = *list[static_cast<std::size_t>(i)];
        if (std::abs(r.x - x) <= reach && std::abs(r.y - y) <= reach) out.push_back(i);
    }
    std::sort(out.begin(), out.end());
}

}  // namespace

void WorldIndex::build_units(const Game& game) {
    units_.clear(game.units.size());
    for (std::size_t i = 0; i < game.units.size(); ++i) {
        const Unit& u = *game.units[i];
        units_.add(static_cast<int>(i), u.kind, u.x, u.y);
    }
    units_ready_ = true;
}

void WorldIndex::unit_moved(const Game& game, int i, int old_x, int old_y) {
    if (!units_ready_) return;
    const Unit& u = *game.units[static_cast<std::size_t>(i)];
    units_.move(i, old_x, old_y, u.x, u.y, u.kind);
}

void WorldIndex::unit_changed_kind(const Game& game, const Unit& unit, int old_kind) {
    if (!units_ready_) return;
    int found = -1;
    units_.for_each_at(unit.x, unit.y, [&](int i) {
        if (game.units[static_cast<std::size_t>(i)].get() == &unit) found = i;
    });
    // Not on a cell of the index: a stray, whose kind is read where it is looked at.
    if (found >= 0) units_.change_kind(found, old_kind, unit.kind, unit.x, unit.y);
}

bool WorldIndex::buildings_usable(const Game& game) {
    if (!buildings_open_) return false;
    if (!buildings_ready_) {
        buildings_.clear(game.buildings.size());
        for (std::size_t i = 0; i < game.buildings.size(); ++i) {
            const Building& b = *game.buildings[i];
            buildings_.add(static_cast<int>(i), b.kind, b.x, b.y);
        }
        buildings_ready_ = true;
    }
    return true;
}

void WorldIndex::nearest_units(const Game& game, int x, int y, int limit, std::uint32_t kinds, int faction,
                               std::vector<int>& ties) const {
    nearest_in(units_, game.units, x, y, limit, kinds, faction, ties);
}

void WorldIndex::nearest_buildings(const Game& game, int x, int y, int limit, std::uint32_t kinds, int faction,
                                   std::vector<int>& ties) const {
    nearest_in(buildings_, game.buildings, x, y, limit, kinds, faction, ties);
}

void WorldIndex::units_at(const Game& game, int x, int y, std::vector<int>& out) const {
    gather_at(units_, game.units, x, y, 0, out);
}

void WorldIndex::buildings_at(const Game& game, int x, int y, std::vector<int>& out) const {
    gather_at(buildings_, game.buildings, x, y, 0, out);
}

void WorldIndex::buildings_near(const Game& game, int x, int y, int reach, std::vector<int>& out) const {
    gather_at(buildings_, game.buildings, x, y, reach, out);
}

void WorldIndex::build_clouds(const Game& game) {
    if (cloud_stamp_.empty()) {
        cloud_stamp_.assign(map_width * map_height, 0u);
        cloud_count_.assign(map_width * map_height, 0);
    }
    if (++cloud_generation_ == 0) {
        std::fill(cloud_stamp_.begin(), cloud_stamp_.end(), 0u);
        cloud_generation_ = 1;
    }
    clouds_ready_ = true;
    for (const auto& e : game.effects) {
        if (e->kind == effect_acid_cloud || e->kind == effect_poison_cloud) cloud_added(e->x, e->y);
    }
}

void WorldIndex::cloud_added(int x, int y) {
    if (!clouds_ready_ || !on_map(x, y)) return;
    const auto c = static_cast<std::size_t>(map_index(x, y));
    if (cloud_stamp_[c] != cloud_generation_) {
        cloud_stamp_[c] = cloud_generation_;
        cloud_count_[c] = 0;
    }
    ++cloud_count_[c];
}

void WorldIndex::cloud_removed(int x, int y) {
    if (!clouds_ready_ || !on_map(x, y)) return;
    const auto c = static_cast<std::size_t>(map_index(x, y));
    if (cloud_stamp_[c] == cloud_generation_ && cloud_count_[c] > 0) --cloud_count_[c];
}

bool WorldIndex::no_cloud_at(int x, int y) const {
    if (!clouds_ready_ || !on_map(x, y)) return false;
    const auto c = static_cast<std::size_t>(map_index(x, y));
    return cloud_stamp_[c] != cloud_generation_ || cloud_count_[c] == 0;
}

void open_indexes(Game& game) {
    if (game.plain_scans) return;
    game.index.build_units(game);
    game.index.open_buildings();
    game.index.build_clouds(game);
}

void close_indexes(Game& game) {
    game.index.drop_units();
    game.index.close_buildings();
    game.index.drop_clouds();
}

}  // namespace qm
