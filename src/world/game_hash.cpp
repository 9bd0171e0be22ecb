#include "world/game_hash.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

namespace qm {
namespace {

// An FNV-style mix over the bytes of each field in turn.
class Hasher {
public:
    // Eight bytes at a time: the map alone is 200,000 bytes and the replay tests hash it
    // after every frame.
    void bytes(const void* data, std::size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        std::size_t i = 0;
        for (; i + 8 <= size; i += 8) {
            std::uint64_t word;
            std::memcpy(&word, p + i, 8);
            mix(word);
        }
        for (; i < size; ++i) mix(p[i]);
    }
    template <typename T>
    void add(const T& v) {
        static_assert(std::is_trivially_copyable_v<T>);
        bytes(&v, sizeof v);
    }
    std::uint64_t value() const { return value_; }

private:
    void mix(std::uint64_t word) {
        value_ ^= word;
        value_ *= 1099511628211ull;
        value_ ^= value_ >> 29;
    }
    std::uint64_t value_ = 14695981039346656037ull;
};

void add_building(Hasher& h, const Building& b) {
    h.add(b.kind);
    h.add(b.faction);
    h.add(b.links);
    h.add(b.x);
    h.add(b.y);
    h.add(b.phase);
    h.add(b.flags);
    h.add(b.hit_points);
}

// A target is hashed as its place (list index, or unit and slot for a carried building) so
// two identical games give the same value whatever addresses their records have. The places
// are sorted by address once per hash: a late game holds thousands of records, and the soak
// and the replay tests hash after every frame.
class Places {
public:
    explicit Places(const Game& game) {
        buildings_.reserve(game.buildings.size() + 8 * game.units.size());
        units_.reserve(game.units.size());
        for (std::size_t i = 0; i < game.buildings.size(); ++i)
            buildings_.emplace_back(game.buildings[i].get(), static_cast<std::int32_t>(i));
        for (std::size_t u = 0; u < game.units.size(); ++u) {
            units_.emplace_back(game.units[u].get(), static_cast<std::int32_t>(u));
            for (std::size_t s = 0; s < 8; ++s)
                buildings_.emplace_back(&game.units[u]->carry_slots[s], static_cast<std::int32_t>(100000 + u * 8 + s));
        }
        std::sort(buildings_.begin(), buildings_.end(), by_address<Building>);
        std::sort(units_.begin(), units_.end(), by_address<Unit>);
    }
    std::int32_t of(const Building* p) const { return find(buildings_, p); }
    std::int32_t of(const Unit* p) const { return find(units_, p); }

private:
    template <typename T>
    using Table = std::vector<std::pair<const T*, std::int32_t>>;

    template <typename T>
    static bool by_address(const std::pair<const T*, std::int32_t>& a, const std::pair<const T*, std::int32_t>& b) {
        return std::less<const T*>()(a.first, b.first);
    }

    template <typename T>
    static std::int32_t find(const Table<T>& places, const T* p) {
        if (p == nullptr) return -1;
        const auto it = std::lower_bound(places.begin(), places.end(), p,
                                         [](const auto& place, const T* q) { return std::less<const T*>()(place.first, q); });
        return it == places.end() || it->first != p ? -2 : it->second;
    }

    Table<Building> buildings_;
    Table<Unit> units_;
};

}  // namespace

std::uint64_t game_hash(const Game& game) {
    Hasher h;
    h.add(game.seed);
    h.add(game.screen.cells);
    h.add(game.map);
    h.add(game.sector_grid);
    h.add(game.open_min_x);
    h.add(game.open_max_x);
    h.add(game.open_min_y);
    h.add(game.open_max_y);
    h.add(game.view_x);
    h.add(game.view_y);
    h.add(game.game_mode);
    h.add(game.player_faction);
    h.add(game.megaboss_type);
    h.add(game.open_menu);
    h.add(game.menu_building);
    h.add(game.wave_countdown);
    h.add(game.sweep_column);
    h.add(game.stage);
    h.add(game.more_sectors);
    h.add(game.megabosses_defeated);
    h.add(game.frame_counter);
    h.add(game.bar_row);
    h.add(game.menu_flash);
    h.add(game.cycle_ooze);
    h.add(game.ooze_store);
    h.add(game.current_statistics);
    h.add(game.record_statistics);
    const Places places(game);
    h.add(game.units.size());
    for (const auto& u : game.units) {
        h.add(u->kind);
        h.add(u->faction);
        h.add(u->x);
        h.add(u->y);
        h.add(u->phase);
        h.add(u->hit_points);
        h.add(u->max_hit_points);
        for (const Building& slot : u->carry_slots) add_building(h, slot);
        h.add(u->ammo);
        h.add(u->fuel);
        h.add(u->haste);
        h.add(u->poison);
        h.add(u->confusion);
        h.add(u->slow);
        h.add(u->health_level);
        h.add(u->weapon_level);
        h.add(u->skill_levels);
        h.add(u->affinity);
        h.add(u->links);
        h.add(u->flags);
        h.add(places.of(static_cast<const Building*>(u->target_building)));
        h.add(places.of(static_cast<const Unit*>(u->target_unit)));
    }
    h.add(game.buildings.size());
    for (const auto& b : game.buildings) add_building(h, *b);
    h.add(game.effects.size());
    for (const auto& e : game.effects) {
        h.add(e->kind);
        h.add(e->faction);
        h.add(e->links);
        h.add(e->x);
        h.add(e->y);
        h.add(e->frac_x);
        h.add(e->frac_y);
        h.add(e->vx);
        h.add(e->vy);
        h.add(e->life);
        h.add(e->generation);
        h.add(e->first_step);
    }
    return h.value();
}

}  // namespace qm
