// Where every unit and building stands, kept true as the world changes. Each record is filed
// on its cell, and in a coarse grid by kind, when it is appended; filed again when it moves or
// changes kind; taken out when it is removed. Every busy walk goes through it: the nearest
// picks, and the records on a cell or near one.
//
// Answers come in list order: the lists keep creation order and each record carries its
// creation serial, so the order of visits, the tie lists and the draws that follow are those
// of a walk over the whole list. A record's faction is read where it stands, so a change of
// faction needs no telling.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "world/map.h"
#include "world/records.h"

namespace qm {

class WorldIndex;

// Lists the walks fill and read, lent out one at a time, so that a walk inside another walk
// (the units on a bolt's cell breathing the cloud the bolt let out, say) gets a list of its own.
// A list given back keeps its storage for the next loan. A loan is read where it is held:
// `for (Unit* u : game.index.units_at(x, y))` keeps it until the loop ends.
template <class T>
class ScratchLists {
public:
    class Loan {
    public:
        explicit Loan(ScratchLists& lists) : lists_(lists), list_(lists.take()) {}
        Loan(Loan&& other) noexcept : lists_(other.lists_), list_(std::move(other.list_)), held_(other.held_) {
            other.held_ = false;
        }
        Loan& operator=(Loan&&) = delete;
        ~Loan() {
            if (held_) lists_.spare_.push_back(std::move(list_));
        }
        auto begin() const { return list_.begin(); }
        auto end() const { return list_.end(); }
        std::size_t size() const { return list_.size(); }
        bool empty() const { return list_.empty(); }
        T operator[](std::size_t n) const { return list_[n]; }

    private:
        friend class WorldIndex;
        ScratchLists& lists_;
        std::vector<T> list_;
        bool held_ = true;
    };

private:
    std::vector<T> take() {
        if (spare_.empty()) return {};
        std::vector<T> list = std::move(spare_.back());
        spare_.pop_back();
        list.clear();
        return list;
    }
    std::vector<std::vector<T>> spare_;
};

namespace index_detail {

constexpr int bucket_size = 16;
constexpr int buckets_across = (map_width + bucket_size - 1) / bucket_size;
constexpr int buckets_down = (map_height + bucket_size - 1) / bucket_size;
constexpr int bucket_count = buckets_across * buckets_down;

// The records of one list by cell, and by kind within each bucket of 16 x 16 cells. A record
// of a kind out of range, or off the map, is a stray that every query looks at.
template <class Record>
class Grid {
public:
    explicit Grid(int kinds);

    void file(Record& record, std::uint64_t serial);
    void unfile(const Record& record);
    // After the record's cell or kind changed.
    void refile(const Record& record);
    void clear();

    // The tie list of a nearest pick from (x, y): every candidate at the smallest distance, if
    // that is at most limit, in list order.
    void nearest(int x, int y, int limit, std::uint32_t kinds, int faction, std::vector<Record*>& ties) const;
    // The records within reach columns and rows of (x, y), in list order.
    void near(int x, int y, int reach, std::vector<Record*>& out) const;
    // The first record in list order standing on (x, y), or none.
    Record* first_at(int x, int y) const;

    // Empty when exactly the records of the list are filed, each where and as what it stands.
    std::string disagreement(const std::vector<std::unique_ptr<Record>>& list, const char* name) const;

private:
    struct Entry {
        Record* record = nullptr;
        std::int32_t kind = 0, x = 0, y = 0;  // as filed
        std::int32_t bucket = -1;             // -1: a stray
        std::int32_t slot = 0;                // place in its bucket list, or among the strays
        std::int32_t member = 0;              // place among the members of its kind
        std::int32_t prev = -1, next = -1;    // neighbours on its cell
    };
    bool stray(int kind, int x, int y) const { return kind < 0 || kind >= kinds_ || !on_map(x, y); }
    // A record in a bucket list keeps its cell beside it: the nearest picks read little else.
    struct Slot {
        std::int32_t x, y, entry;
    };
    std::vector<Slot>& bucket_list(int kind, int bucket) {
        return lists_[static_cast<std::size_t>(kind * bucket_count + bucket)];
    }
    void attach(int h);
    void detach(int h);
    void link(int h);
    void unlink(int h);
    void to_bucket(int h, int bucket);
    void from_bucket(int h);
    template <class F>
    void for_each_at(int x, int y, F&& f) const {
        if (!on_map(x, y)) return;
        for (int h = head_[static_cast<std::size_t>(map_index(x, y))]; h >= 0; h = entries_[static_cast<std::size_t>(h)].next)
            f(entries_[static_cast<std::size_t>(h)]);
    }

    int kinds_;
    std::vector<Entry> entries_;
    std::vector<int> free_entries_;
    std::vector<std::vector<Slot>> lists_;   // kind * bucket_count + bucket
    std::vector<std::uint32_t> present_;     // per bucket, a bit per kind with a record there
    std::vector<std::vector<int>> members_;  // per kind
    std::vector<int> strays_;
    std::vector<int> head_;                  // per cell, the first entry there
};

}  // namespace index_detail

class WorldIndex {
public:
    WorldIndex();

    // Told by the lists and by whatever moves a record or changes its kind.
    void file(Unit& unit);
    void file(Building& building);
    void unfile(const Unit& unit) { units_.unfile(unit); }
    void unfile(const Building& building) { buildings_.unfile(building); }
    void refile(const Unit& unit) { units_.refile(unit); }
    void refile(const Building& building) { buildings_.refile(building); }
    void clear_units() { units_.clear(); }
    void clear_buildings() { buildings_.clear(); }

    using UnitList = ScratchLists<Unit*>::Loan;
    using BuildingList = ScratchLists<Building*>::Loan;
    // The tie lists of the nearest picks, in list order; kinds is a bit per kind, faction -1
    // takes any faction.
    UnitList nearest_units(int x, int y, int limit, std::uint32_t kinds, int faction);
    BuildingList nearest_buildings(int x, int y, int limit, std::uint32_t kinds, int faction);
    // Records on the cell, or within reach columns and rows of it, in list order.
    UnitList units_at(int x, int y);
    BuildingList buildings_at(int x, int y);
    BuildingList buildings_near(int x, int y, int reach);
    Building* first_building_at(int x, int y) const { return buildings_.first_at(x, y); }

    // Acid and poison clouds by cell: a cell with none needs no search of the effects.
    void cloud_added(int x, int y);
    void cloud_removed(int x, int y);
    void clear_clouds();
    bool no_cloud_at(int x, int y) const;

    // Empty when the index files every record of the lists where it stands and nothing else,
    // and counts every cloud on its cell.
    std::string disagreement(const std::vector<std::unique_ptr<Unit>>& units,
                             const std::vector<std::unique_ptr<Building>>& buildings,
                             const std::vector<std::unique_ptr<Effect>>& effects) const;

private:
    index_detail::Grid<Unit> units_;
    index_detail::Grid<Building> buildings_;
    std::uint64_t next_serial_ = 1;
    std::vector<std::int32_t> clouds_;  // per cell
    std::int64_t cloud_total_ = 0;
    ScratchLists<Unit*> unit_lists_;
    ScratchLists<Building*> building_lists_;
};

}  // namespace qm
