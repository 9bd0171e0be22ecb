// Indexes over the unit and building lists for the busy parts of a frame: which units and
// buildings stand on a cell, and a coarse grid by kind for the nearest picks. They only ever
// shorten a walk; every answer comes back in list order, so the order of visits, the tie
// lists and the draws that follow are those of the plain walk over the whole list.
//
// The unit index lives from the start of the unit update (and again of the effect update)
// until that update's death sweep, and is told of every step and every change of kind made
// meanwhile. The building index is built when first asked for inside an update and is thrown
// away by any append, removal or change of kind. Outside those spans, and whenever the Game
// asks for plain scans, the callers walk the lists as they are.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "world/map.h"
#include "world/records.h"

namespace qm {

struct Game;

namespace index_detail {

constexpr int bucket_size = 16;
constexpr int buckets_across = (map_width + bucket_size - 1) / bucket_size;
constexpr int buckets_down = (map_height + bucket_size - 1) / bucket_size;
constexpr int bucket_count = buckets_across * buckets_down;

// One kind of record (units or buildings) by cell and by kind and bucket. Entries are list
// indexes; the positions and kinds are read from the records themselves.
class Grid {
public:
    explicit Grid(int kinds) : kinds_(kinds), lists_(static_cast<std::size_t>(kinds * bucket_count)), members_(static_cast<std::size_t>(kinds)) {}

    // Empty, ready for entries 0 to entries - 1 to be added in ascending order.
    void clear(std::size_t entries);
    // Entry i at (x, y) of the kind; a kind out of range or a cell off the map makes it a
    // stray, looked at by every query.
    void add(int i, int kind, int x, int y);
    void move(int i, int old_x, int old_y, int x, int y, int kind);
    // (x, y): where entry i stands.
    void change_kind(int i, int old_kind, int kind, int x, int y);
    bool stray(int i) const { return where_[static_cast<std::size_t>(i)].bucket < 0; }

    // Entries on the cell, in no particular order.
    template <class F>
    void for_each_at(int x, int y, F&& f) const {
        if (!on_map(x, y)) return;
        const auto c = static_cast<std::size_t>(map_index(x, y));
        if (stamp_[c] != generation_) return;
        for (int i = head_[c]; i >= 0; i = where_[static_cast<std::size_t>(i)].next) f(i);
    }
    const std::vector<int>& strays() const { return strays_; }
    const std::vector<int>& members(int kind) const { return members_[static_cast<std::size_t>(kind)]; }
    const std::vector<int>& bucket(int kind, int b) const { return lists_[static_cast<std::size_t>(kind * bucket_count + b)]; }
    int kinds() const { return kinds_; }

private:
    struct Where {
        int bucket = -1;  // -1: a stray
        int slot = 0;     // place in its bucket list
        int prev = -1, next = -1;  // neighbours on its cell
    };
    void link(int i, int x, int y);
    void unlink(int i, int x, int y);
    void bucket_remove(int i, int kind);
    void bucket_add(int i, int kind, int b);

    int kinds_;
    std::vector<std::vector<int>> lists_;
    std::vector<std::vector<int>> members_;  // ascending list indexes, per kind
    std::vector<int> strays_;                // ascending
    std::vector<Where> where_;
    std::vector<int> touched_;               // bucket lists to empty on the next clear
    std::vector<std::uint32_t> stamp_;  // a cell's head is current only with this generation
    std::vector<int> head_;
    std::uint32_t generation_ = 1;
};

}  // namespace index_detail

class WorldIndex {
public:
    WorldIndex() : units_(10), buildings_(7) {}

    // The unit index over the list as it stands; gone again at drop_units or any append or
    // removal.
    void build_units(const Game& game);
    void drop_units() { units_ready_ = false; }
    bool units_ready() const { return units_ready_; }
    // Told by whoever moves unit i or changes its kind while the index stands.
    void unit_moved(const Game& game, int i, int old_x, int old_y);
    void unit_changed_kind(const Game& game, const Unit& unit, int old_kind);

    // The building index may be built on demand between open and close.
    void open_buildings() { buildings_open_ = true; }
    void close_buildings() { buildings_open_ = buildings_ready_ = false; }
    void buildings_changed() { buildings_ready_ = false; }
    // Built now if it is not; false when it may not be used.
    bool buildings_usable(const Game& game);

    // The tie list of a nearest pick: every candidate at the smallest distance, if that is at
    // most limit, in ascending list order.
    void nearest_units(const Game& game, int x, int y, int limit, std::uint32_t kinds, int faction,
                       std::vector<int>& ties) const;
    void nearest_buildings(const Game& game, int x, int y, int limit, std::uint32_t kinds, int faction,
                           std::vector<int>& ties) const;
    // Units or buildings standing on the cell, in ascending list order.
    void units_at(const Game& game, int x, int y, std::vector<int>& out) const;
    void buildings_at(const Game& game, int x, int y, std::vector<int>& out) const;
    // Buildings within reach columns and rows of the cell, in ascending list order.
    void buildings_near(const Game& game, int x, int y, int reach, std::vector<int>& out) const;

    // Clouds by cell while a unit or effect update runs: a cell with none needs no search.
    void build_clouds(const Game& game);
    void drop_clouds() { clouds_ready_ = false; }
    bool clouds_ready() const { return clouds_ready_; }
    void cloud_added(int x, int y);
    void cloud_removed(int x, int y);
    bool no_cloud_at(int x, int y) const;

private:
    index_detail::Grid units_;
    index_detail::Grid buildings_;
    bool units_ready_ = false;
    bool buildings_open_ = false;
    bool buildings_ready_ = false;
    bool clouds_ready_ = false;
    std::vector<std::uint32_t> cloud_stamp_;
    std::vector<int> cloud_count_;
    std::uint32_t cloud_generation_ = 0;
};

// The spans of the unit and effect updates: the unit index and the cloud counts built over
// the lists as they stand, the building index ready to be built; all of it dropped again
// before the death sweep. Nothing at all with plain scans.
void open_indexes(Game& game);
void close_indexes(Game& game);

}  // namespace qm
