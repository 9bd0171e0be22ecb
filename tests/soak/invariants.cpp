#include "soak/invariants.h"

#include <algorithm>
#include <array>
#include <bitset>

#include "buildings/node_network.h"
#include "menus/menu_display.h"
#include "records/statistics.h"

namespace qm::soak {
namespace {

constexpr int faction_count = 16;
constexpr int unit_kind_count = 10;
constexpr int building_kind_count = 7;
constexpr int effect_kind_count = 8;

bool is_faction(std::int32_t f) { return f >= 0 && f < faction_count; }
bool is_faction_or_none(std::int32_t f) { return f >= -1 && f < faction_count; }
bool links_in_range(const std::array<std::int32_t, 4>& links) {
    return std::all_of(links.begin(), links.end(), is_faction_or_none);
}

std::string at(int x, int y) { return " at (" + std::to_string(x) + ", " + std::to_string(y) + ")"; }

// A cell as one word: glyph, fg, bg and bright, lowest byte first.
std::uint32_t packed(const Cell& c) {
    return c.glyph | static_cast<std::uint32_t>(c.fg) << 8 | static_cast<std::uint32_t>(c.bg) << 16 |
           static_cast<std::uint32_t>(c.bright) << 24;
}

// Colours 0..7 and a bright flag of 0 or 1 fit in 7 bits: 15 bits name any such cell.
constexpr std::uint32_t out_of_range_bits = 0xFEF8F800u;
std::size_t table_index(std::uint32_t word) {
    return (word & 0xFF) | ((word >> 8) & 7) << 8 | ((word >> 16) & 7) << 11 | ((word >> 24) & 1) << 14;
}

// Every cell the map can hold: floor at its five levels, the source, green walls, grey walls
// worn or whole, and barriers.
std::bitset<1u << 15> laid_cells() {
    std::bitset<1u << 15> table;
    const auto allow = [&](Cell c) { table.set(table_index(packed(c))); };
    for (const Cell& level : floor_levels) allow(level);
    allow(source_cell);
    allow(Cell{glyph_wall, 2, 0, 0});
    for (int glyph : {219, 178, 177, 176}) allow(Cell{static_cast<std::uint8_t>(glyph), 7, 0, 0});
    allow(Cell{glyph_barrier, 0, 7, 0});
    return table;
}

const std::bitset<1u << 15>& laid_table() {
    static const std::bitset<1u << 15> table = laid_cells();
    return table;
}

std::uint32_t cycle_ooze_sum(const Game& game) {
    std::uint32_t sum = 0;
    for (std::int32_t v : game.cycle_ooze) sum += static_cast<std::uint32_t>(v);
    return sum;
}

}  // namespace

bool is_laid_map_cell(const Cell& cell) {
    const std::uint32_t word = packed(cell);
    return (word & out_of_range_bits) == 0 && laid_table().test(table_index(word));
}

bool InvariantChecker::fail(std::string message) {
    failure_ = std::move(message);
    return false;
}

bool InvariantChecker::check(Game& game) {
    const bool read_map = calls_++ % static_cast<std::uint64_t>(map_period_) == 0;
    return lists_in_place(game) && records_in_range(game) && targets_alive(game) && menu_inside_list(game) &&
           (!read_map || map_cells_laid(game)) && no_walk_marks(game) && cycle_ooze_gathered(game);
}

bool InvariantChecker::lists_in_place(const Game& game) {
    if (game.game_mode == 0) {
        // Between games nothing is left of the last one.
        if (!game.units.empty() || !game.buildings.empty() || !game.effects.empty()) {
            return fail("records left over outside a game");
        }
    } else if (game.game_mode == 1) {
        if (game.units.empty() || game.units[0]->kind != unit_player) return fail("no player unit at element 0");
        for (std::size_t i = 1; i < game.units.size(); ++i) {
            if (game.units[i]->kind == unit_player) return fail("a second player unit at " + std::to_string(i));
        }
    } else {
        return fail("game_mode " + std::to_string(game.game_mode));
    }
    ++checks_passed_;
    return true;
}

bool InvariantChecker::records_in_range(const Game& game) {
    for (std::size_t i = 0; i < game.units.size(); ++i) {
        const Unit& u = *game.units[i];
        const std::string where = "unit " + std::to_string(i) + " (kind " + std::to_string(u.kind) + ")";
        if (u.kind < 0 || u.kind >= unit_kind_count) return fail(where + ": kind out of range");
        if (!is_faction(u.faction)) return fail(where + ": faction " + std::to_string(u.faction));
        if (!is_faction_or_none(u.affinity)) return fail(where + ": affinity " + std::to_string(u.affinity));
        if (!links_in_range(u.links)) return fail(where + ": link out of range");
        if (!on_map(u.x, u.y)) return fail(where + ": off the map" + at(u.x, u.y));
        for (const Building& slot : u.carry_slots) {
            if (slot.empty()) continue;
            if (slot.kind < 0 || slot.kind >= building_kind_count) return fail(where + ": carried kind out of range");
            if (!is_faction(slot.faction)) return fail(where + ": carried faction " + std::to_string(slot.faction));
            if (!links_in_range(slot.links)) return fail(where + ": carried link out of range");
        }
    }
    for (std::size_t i = 0; i < game.buildings.size(); ++i) {
        const Building& b = *game.buildings[i];
        const std::string where = "building " + std::to_string(i) + " (kind " + std::to_string(b.kind) + ")";
        if (b.kind < 0 || b.kind >= building_kind_count) return fail(where + ": kind out of range");
        if (!is_faction(b.faction)) return fail(where + ": faction " + std::to_string(b.faction));
        if (!links_in_range(b.links)) return fail(where + ": link out of range");
        if (!on_map(b.x, b.y)) return fail(where + ": off the map" + at(b.x, b.y));
    }
    for (std::size_t i = 0; i < game.effects.size(); ++i) {
        const Effect& e = *game.effects[i];
        const std::string where = "effect " + std::to_string(i) + " (kind " + std::to_string(e.kind) + ")";
        if (e.kind < 0 || e.kind >= effect_kind_count) return fail(where + ": kind out of range");
        if (!is_faction(e.faction)) return fail(where + ": faction " + std::to_string(e.faction));
        if (!links_in_range(e.links)) return fail(where + ": link out of range");
    }
    for (std::int32_t store : game.ooze_store) {
        if (store < 0) return fail("an ooze store below zero: " + std::to_string(store));
    }
    ++checks_passed_;
    return true;
}

bool InvariantChecker::targets_alive(const Game& game) {
    units_by_address_.clear();
    for (const auto& u : game.units) units_by_address_.push_back(u.get());
    std::sort(units_by_address_.begin(), units_by_address_.end());
    buildings_by_address_.clear();
    for (const auto& b : game.buildings) buildings_by_address_.push_back(b.get());
    std::sort(buildings_by_address_.begin(), buildings_by_address_.end());

    const auto is_unit = [&](const Unit* p) {
        return std::binary_search(units_by_address_.begin(), units_by_address_.end(), p);
    };
    // A carried building is one of the eight slots of the unit whose record holds it.
    const auto is_carry_slot = [&](const Building* p) {
        const auto bytes = reinterpret_cast<std::uintptr_t>(p);
        auto it = std::upper_bound(units_by_address_.begin(), units_by_address_.end(), bytes,
                                   [](std::uintptr_t v, const Unit* u) { return v < reinterpret_cast<std::uintptr_t>(u); });
        if (it == units_by_address_.begin()) return false;
        const Unit& owner = **(it - 1);
        for (const Building& slot : owner.carry_slots) {
            if (&slot == p) return true;
        }
        return false;
    };
    for (std::size_t i = 0; i < game.units.size(); ++i) {
        const Unit& u = *game.units[i];
        if (u.target_unit != nullptr && !is_unit(u.target_unit)) {
            return fail("unit " + std::to_string(i) + " targets a unit that is gone");
        }
        if (u.target_building != nullptr &&
            !std::binary_search(buildings_by_address_.begin(), buildings_by_address_.end(), u.target_building) &&
            !is_carry_slot(u.target_building)) {
            return fail("unit " + std::to_string(i) + " targets a building that is gone");
        }
    }
    ++checks_passed_;
    return true;
}

bool InvariantChecker::menu_inside_list(const Game& game) {
    if (game.open_menu < -1 || game.open_menu > 2) return fail("open_menu " + std::to_string(game.open_menu));
    if (game.open_menu != 0) {
        menu_node_ = nullptr;
    } else {
        // Buildings before the node may go while its menu is open; the menu stays on its node,
        // and closes when the node itself goes.
        if (!menu_node_valid(game)) return fail("the node menu is open without a node to read");
        const Building* node = game.buildings[static_cast<std::size_t>(game.menu_building)].get();
        if (menu_node_ == nullptr) {
            menu_node_ = node;
        } else if (game.menu_building != menu_index_) {
            ++menu_followed_;
        }
        menu_index_ = game.menu_building;
        if (node != menu_node_) return fail("the node menu slid off its node");
    }
    ++checks_passed_;
    return true;
}

bool InvariantChecker::map_cells_laid(const Game& game) {
    // Long runs of one cell are the rule on this map: only a change needs the table.
    std::uint32_t last_good = packed(open_ground);
    for (std::size_t i = 0; i < game.map.size(); ++i) {
        const std::uint32_t word = packed(game.map[i]);
        if (word == last_good) continue;
        if ((word & out_of_range_bits) != 0 || !laid_table().test(table_index(word))) {
            const Cell& c = game.map[i];
            return fail("map cell" + at(static_cast<int>(i) / map_height, static_cast<int>(i) % map_height) +
                        " holds glyph " + std::to_string(c.glyph) + " fg " + std::to_string(c.fg) + " bg " +
                        std::to_string(c.bg) + " bright " + std::to_string(c.bright));
        }
        last_good = word;
    }
    ++checks_passed_;
    return true;
}

bool InvariantChecker::no_walk_marks(const Game& game) {
    for (std::size_t i = 0; i < game.buildings.size(); ++i) {
        if ((game.buildings[i]->flags & static_cast<std::int32_t>(building_visited)) != 0) {
            return fail("building " + std::to_string(i) + " left marked visited");
        }
    }
    for (const auto& u : game.units) {
        for (const Building& slot : u->carry_slots) {
            if ((slot.flags & static_cast<std::int32_t>(building_visited)) != 0) {
                return fail("a carried building left marked visited");
            }
        }
    }
    ++checks_passed_;
    return true;
}

bool InvariantChecker::cycle_ooze_gathered(const Game& game) {
    const std::uint32_t gathered = game.current_statistics.counters[stat_total_gathered];
    const bool new_game = game.game_mode == 1 && last_game_mode_ != 1;
    const bool new_cycle = game.megabosses_defeated != last_megabosses_defeated_;
    last_game_mode_ = game.game_mode;
    last_megabosses_defeated_ = game.megabosses_defeated;
    if (game.game_mode != 1) {
        ++checks_passed_;
        return true;
    }
    if (new_game || new_cycle) {
        if (cycle_ooze_sum(game) != 0) return fail("a new cycle began with cycle ooze left over");
        gathered_at_cycle_start_ = gathered;
    }
    if (cycle_ooze_sum(game) != gathered - gathered_at_cycle_start_) {
        return fail("cycle ooze " + std::to_string(cycle_ooze_sum(game)) + " but " +
                    std::to_string(gathered - gathered_at_cycle_start_) + " gathered this cycle");
    }
    ++checks_passed_;
    return true;
}

}  // namespace qm::soak
