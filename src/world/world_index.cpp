#include "world/world_index.h"

#include <algorithm>
#include <cstdlib>

namespace qm {

namespace index_detail {

namespace {

int bucket_of(int x, int y) { return (x / bucket_size) * buckets_down + y / bucket_size; }

// Below this many candidates of the wanted kinds a walk over them beats the rings.
constexpr std::size_t few_candidates = 48;

template <class Record>
void in_list_order(std::vector<Record*>& records) {
    std::sort(records.begin(), records.end(), [](const Record* a, const Record* b) { return a->serial < b->serial; });
}

// Takes what stands at slot out of a list whose order does not matter; the last one fills the
// gap, and is told its new place.
template <class T, class SetSlot>
void swap_out(std::vector<T>& list, int slot, SetSlot set_slot) {
    const T last = list.back();
    list[static_cast<std::size_t>(slot)] = last;
    set_slot(last, slot);
    list.pop_back();
}

}  // namespace

template <class Record>
Grid<Record>::Grid(int kinds)
    : kinds_(kinds),
      lists_(static_cast<std::size_t>(kinds * bucket_count)),
      present_(bucket_count, 0u),
      members_(static_cast<std::size_t>(kinds)),
      head_(static_cast<std::size_t>(map_width * map_height), -1) {}

template <class Record>
void Grid<Record>::link(int h) {
    Entry& e = entries_[static_cast<std::size_t>(h)];
    int& head = head_[static_cast<std::size_t>(map_index(e.x, e.y))];
    e.prev = -1;
    e.next = head;
    if (head >= 0) entries_[static_cast<std::size_t>(head)].prev = h;
    head = h;
}

template <class Record>
void Grid<Record>::unlink(int h) {
    Entry& e = entries_[static_cast<std::size_t>(h)];
    if (e.prev >= 0) {
        entries_[static_cast<std::size_t>(e.prev)].next = e.next;
    } else {
        head_[static_cast<std::size_t>(map_index(e.x, e.y))] = e.next;
    }
    if (e.next >= 0) entries_[static_cast<std::size_t>(e.next)].prev = e.prev;
}

template <class Record>
void Grid<Record>::to_bucket(int h, int bucket) {
    Entry& e = entries_[static_cast<std::size_t>(h)];
    auto& list = bucket_list(e.kind, bucket);
    e.bucket = bucket;
    e.slot = static_cast<int>(list.size());
    list.push_back({e.x, e.y, h});
    present_[static_cast<std::size_t>(bucket)] |= 1u << e.kind;
}

template <class Record>
void Grid<Record>::from_bucket(int h) {
    const Entry& e = entries_[static_cast<std::size_t>(h)];
    auto& list = bucket_list(e.kind, e.bucket);
    swap_out(list, e.slot, [&](const Slot& moved, int slot) { entries_[static_cast<std::size_t>(moved.entry)].slot = slot; });
    if (list.empty()) present_[static_cast<std::size_t>(e.bucket)] &= ~(1u << e.kind);
}

template <class Record>
void Grid<Record>::attach(int h) {
    Entry& e = entries_[static_cast<std::size_t>(h)];
    if (stray(e.kind, e.x, e.y)) {
        e.bucket = -1;
        e.slot = static_cast<int>(strays_.size());
        strays_.push_back(h);
        return;
    }
    auto& members = members_[static_cast<std::size_t>(e.kind)];
    e.member = static_cast<int>(members.size());
    members.push_back(h);
    to_bucket(h, bucket_of(e.x, e.y));
    link(h);
}

template <class Record>
void Grid<Record>::detach(int h) {
    const Entry& e = entries_[static_cast<std::size_t>(h)];
    if (e.bucket < 0) {
        swap_out(strays_, e.slot, [&](int moved, int slot) { entries_[static_cast<std::size_t>(moved)].slot = slot; });
        return;
    }
    unlink(h);
    from_bucket(h);
    swap_out(members_[static_cast<std::size_t>(e.kind)], e.member,
             [&](int moved, int slot) { entries_[static_cast<std::size_t>(moved)].member = slot; });
}

template <class Record>
void Grid<Record>::file(Record& record, std::uint64_t serial) {
    int h;
    if (free_entries_.empty()) {
        h = static_cast<int>(entries_.size());
        entries_.emplace_back();
    } else {
        h = free_entries_.back();
        free_entries_.pop_back();
    }
    record.serial = serial;
    record.index_entry = h;
    Entry& e = entries_[static_cast<std::size_t>(h)];
    e.record = &record;
    e.kind = record.kind;
    e.x = record.x;
    e.y = record.y;
    attach(h);
}

template <class Record>
void Grid<Record>::unfile(const Record& record) {
    const int h = record.index_entry;
    detach(h);
    entries_[static_cast<std::size_t>(h)].record = nullptr;
    free_entries_.push_back(h);
}

template <class Record>
void Grid<Record>::refile(const Record& record) {
    const int h = record.index_entry;
    Entry& e = entries_[static_cast<std::size_t>(h)];
    if (e.kind == record.kind && e.x == record.x && e.y == record.y) return;
    if (e.bucket >= 0 && e.kind == record.kind && on_map(record.x, record.y)) {
        // A step on the map: a new cell, and now and then a new bucket.
        unlink(h);
        e.x = record.x;
        e.y = record.y;
        link(h);
        const int bucket = bucket_of(e.x, e.y);
        if (bucket != e.bucket) {
            from_bucket(h);
            to_bucket(h, bucket);
        } else {
            bucket_list(e.kind, e.bucket)[static_cast<std::size_t>(e.slot)] = {e.x, e.y, h};
        }
        return;
    }
    detach(h);
    e.kind = record.kind;
    e.x = record.x;
    e.y = record.y;
    attach(h);
}

template <class Record>
void Grid<Record>::clear() {
    for (auto& list : lists_) list.clear();
    for (auto& members : members_) members.clear();
    std::fill(present_.begin(), present_.end(), 0u);
    std::fill(head_.begin(), head_.end(), -1);
    strays_.clear();
    entries_.clear();
    free_entries_.clear();
}

template <class Record>
void Grid<Record>::nearest(int x, int y, int limit, std::uint32_t kinds, int faction,
                           std::vector<Record*>& ties) const {
    ties.clear();
    if (limit < 0) return;  // nothing is nearer than no distance at all
    int best = limit;
    auto consider = [&](int ex, int ey, int h) {
        // Farther than the best so far on either axis: out, before anything else is read.
        const auto reach = 2u * static_cast<unsigned>(best);
        if (static_cast<unsigned>(ex - x + best) > reach || static_cast<unsigned>(ey - y + best) > reach) return;
        Record* record = entries_[static_cast<std::size_t>(h)].record;
        if (faction >= 0 && record->faction != faction) return;
        const int d = distance(x, y, ex, ey);
        if (d < best) {
            ties.clear();
            best = d;
        }
        ties.push_back(record);
    };
    for (int h : strays_) {
        const Entry& e = entries_[static_cast<std::size_t>(h)];
        if (e.kind >= 0 && e.kind < 32 && ((kinds >> e.kind) & 1u) != 0) consider(e.x, e.y, h);
    }

    const std::uint32_t wanted = kinds & (kinds_ >= 32 ? ~0u : (1u << kinds_) - 1u);
    std::size_t candidates = 0;
    for (int k = 0; k < kinds_; ++k) {
        if ((wanted >> k) & 1u) candidates += members_[static_cast<std::size_t>(k)].size();
    }
    if (candidates <= few_candidates || !on_map(x, y)) {
        for (int k = 0; k < kinds_; ++k) {
            if ((wanted >> k) & 1u) {
                for (int h : members_[static_cast<std::size_t>(k)]) {
                    const Entry& e = entries_[static_cast<std::size_t>(h)];
                    consider(e.x, e.y, h);
                }
            }
        }
    } else {
        const int bx = x / bucket_size;
        const int by = y / bucket_size;
        const int widest = std::max({bx, buckets_across - 1 - bx, by, buckets_down - 1 - by});
        auto visit = [&](int cx, int cy) {
            const int b = cx * buckets_down + cy;
            std::uint32_t here = present_[static_cast<std::size_t>(b)] & wanted;
            if (here == 0) return;
            const int x0 = cx * bucket_size, y0 = cy * bucket_size;
            const int dx = x < x0 ? x0 - x : std::max(0, x - (x0 + bucket_size - 1));
            const int dy = y < y0 ? y0 - y : std::max(0, y - (y0 + bucket_size - 1));
            if (std::max(dx, dy) > best) return;
            for (int k = 0; here != 0; ++k, here >>= 1) {
                if (here & 1u) {
                    for (const Slot& slot : lists_[static_cast<std::size_t>(k * bucket_count + b)]) {
                        consider(slot.x, slot.y, slot.entry);
                    }
                }
            }
        };
        for (int r = 0; r <= widest; ++r) {
            // Every cell of a bucket r rings out is at least this far from any cell of ours.
            if (r > 0 && (r - 1) * bucket_size + 1 > best) break;
            if (r == 0) {
                visit(bx, by);
                continue;
            }
            // The ring's sides, where they lie on the map.
            const int left = std::max(bx - r, 0), right = std::min(bx + r, buckets_across - 1);
            const int top = std::max(by - r + 1, 0), bottom = std::min(by + r - 1, buckets_down - 1);
            for (int cx = left; cx <= right; ++cx) {
                if (by - r >= 0) visit(cx, by - r);
                if (by + r < buckets_down) visit(cx, by + r);
            }
            for (int cy = top; cy <= bottom; ++cy) {
                if (bx - r >= 0) visit(bx - r, cy);
                if (bx + r < buckets_across) visit(bx + r, cy);
            }
        }
    }
    in_list_order(ties);
}

template <class Record>
void Grid<Record>::near(int x, int y, int reach, std::vector<Record*>& out) const {
    out.clear();
    for (int cx = x - reach; cx <= x + reach; ++cx) {
        for (int cy = y - reach; cy <= y + reach; ++cy) for_each_at(cx, cy, [&](const Entry& e) { out.push_back(e.record); });
    }
    for (int h : strays_) {
        const Entry& e = entries_[static_cast<std::size_t>(h)];
        if (std::abs(e.x - x) <= reach && std::abs(e.y - y) <= reach) out.push_back(e.record);
    }
    in_list_order(out);
}

template <class Record>
Record* Grid<Record>::first_at(int x, int y) const {
    Record* first = nullptr;
    auto earlier = [&](const Entry& e) {
        if (first == nullptr || e.record->serial < first->serial) first = e.record;
    };
    for_each_at(x, y, earlier);
    for (int h : strays_) {
        const Entry& e = entries_[static_cast<std::size_t>(h)];
        if (e.x == x && e.y == y) earlier(e);
    }
    return first;
}

template <class Record>
std::string Grid<Record>::disagreement(const std::vector<std::unique_ptr<Record>>& list, const char* name) const {
    using std::to_string;
    const std::size_t filed = entries_.size() - free_entries_.size();
    if (filed != list.size()) return to_string(filed) + " " + name + "s filed, " + to_string(list.size()) + " listed";
    std::size_t strays = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Record& r = *list[i];
        const auto which = [&] { return std::string(name) + " " + to_string(i); };
        if (i > 0 && r.serial <= list[i - 1]->serial) return which() + " is out of creation order";
        const auto h = static_cast<std::size_t>(r.index_entry);
        if (r.index_entry < 0 || h >= entries_.size() || entries_[h].record != &r) return which() + " is not filed";
        const Entry& e = entries_[h];
        if (e.kind != r.kind || e.x != r.x || e.y != r.y) {
            return which() + " is filed as kind " + to_string(e.kind) + " at (" + to_string(e.x) + ", " +
                   to_string(e.y) + ")";
        }
        if (stray(e.kind, e.x, e.y)) {
            strays += e.bucket < 0;
            continue;
        }
        // Everyone on its cell is in the list and stands there.
        bool on_cell = false, cell_true = true;
        int before = -1;
        for_each_at(e.x, e.y, [&](const Entry& other) {
            on_cell |= &other == &e;
            cell_true &= other.record != nullptr && other.x == e.x && other.y == e.y && other.prev == before;
            before = static_cast<int>(&other - entries_.data());
        });
        const auto& bucket = lists_[static_cast<std::size_t>(e.kind * bucket_count + std::max(e.bucket, 0))];
        const Slot& slot = bucket.at(static_cast<std::size_t>(e.slot));
        const auto& members = members_[static_cast<std::size_t>(e.kind)];
        if (!on_cell || !cell_true || e.bucket != bucket_of(e.x, e.y) ||
            slot.entry != static_cast<int>(h) || slot.x != e.x || slot.y != e.y ||
            members.at(static_cast<std::size_t>(e.member)) != static_cast<int>(h) ||
            (present_[static_cast<std::size_t>(e.bucket)] & (1u << e.kind)) == 0) {
            return which() + " is missing from its cell, bucket or kind";
        }
    }
    std::size_t in_buckets = 0, as_members = 0;
    for (const auto& l : lists_) in_buckets += l.size();
    for (const auto& m : members_) as_members += m.size();
    const std::size_t placed = list.size() - strays;
    if (strays != strays_.size() || in_buckets != placed || as_members != placed) {
        return std::string("the ") + name + " index holds records that are gone";
    }
    return {};
}

template class Grid<Unit>;
template class Grid<Building>;

}  // namespace index_detail

namespace {

constexpr int unit_kinds = unit_boss + 1;
constexpr int building_kinds = building_barricade + 1;

}  // namespace

WorldIndex::WorldIndex()
    : units_(unit_kinds), buildings_(building_kinds), clouds_(static_cast<std::size_t>(map_width * map_height), 0) {}

void WorldIndex::file(Unit& unit) { units_.file(unit, next_serial_++); }
void WorldIndex::file(Building& building) { buildings_.file(building, next_serial_++); }

WorldIndex::UnitList WorldIndex::nearest_units(int x, int y, int limit, std::uint32_t kinds, int faction) {
    UnitList ties(unit_lists_);
    units_.nearest(x, y, limit, kinds, faction, ties.list_);
    return ties;
}

WorldIndex::BuildingList WorldIndex::nearest_buildings(int x, int y, int limit, std::uint32_t kinds, int faction) {
    BuildingList ties(building_lists_);
    buildings_.nearest(x, y, limit, kinds, faction, ties.list_);
    return ties;
}

WorldIndex::UnitList WorldIndex::units_at(int x, int y) {
    UnitList here(unit_lists_);
    units_.near(x, y, 0, here.list_);
    return here;
}

WorldIndex::BuildingList WorldIndex::buildings_at(int x, int y) { return buildings_near(x, y, 0); }

WorldIndex::BuildingList WorldIndex::buildings_near(int x, int y, int reach) {
    BuildingList near(building_lists_);
    buildings_.near(x, y, reach, near.list_);
    return near;
}

void WorldIndex::cloud_added(int x, int y) {
    if (!on_map(x, y)) return;
    ++clouds_[static_cast<std::size_t>(map_index(x, y))];
    ++cloud_total_;
}

void WorldIndex::cloud_removed(int x, int y) {
    if (!on_map(x, y)) return;
    --clouds_[static_cast<std::size_t>(map_index(x, y))];
    --cloud_total_;
}

void WorldIndex::clear_clouds() {
    std::fill(clouds_.begin(), clouds_.end(), 0);
    cloud_total_ = 0;
}

bool WorldIndex::no_cloud_at(int x, int y) const {
    // Off the map there is no count to go by.
    return on_map(x, y) && clouds_[static_cast<std::size_t>(map_index(x, y))] == 0;
}

std::string WorldIndex::disagreement(const std::vector<std::unique_ptr<Unit>>& units,
                                     const std::vector<std::unique_ptr<Building>>& buildings,
                                     const std::vector<std::unique_ptr<Effect>>& effects) const {
    if (auto bad = units_.disagreement(units, "unit"); !bad.empty()) return bad;
    if (auto bad = buildings_.disagreement(buildings, "building"); !bad.empty()) return bad;
    // Every cell with clouds counts them all, and no other cell counts any.
    std::vector<int> cells;
    for (const auto& e : effects) {
        if (is_cloud_kind(e->kind) && on_map(e->x, e->y)) cells.push_back(map_index(e->x, e->y));
    }
    std::sort(cells.begin(), cells.end());
    for (auto run = cells.begin(); run != cells.end();) {
        const auto next = std::upper_bound(run, cells.end(), *run);
        if (clouds_[static_cast<std::size_t>(*run)] != next - run) return "the clouds on a cell are miscounted";
        run = next;
    }
    return cloud_total_ == static_cast<std::int64_t>(cells.size()) ? "" : "the clouds are miscounted";
}

}  // namespace qm
