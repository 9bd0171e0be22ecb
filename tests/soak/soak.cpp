#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <numeric>
#include <random>
#include <vector>

#include "buildings/node_network.h"
#include "buildings/sector_opening.h"
#include "console/startup.h"
#include "flow/game_frame.h"
#include "flow/megaboss_wave.h"
#include "flow/sector_assignment.h"
#include "menus/menu_actions.h"
#include "menus/menu_display.h"
#include "records/statistics.h"
#include "soak/soak.h"
#include "units/combat.h"
#include "world/factions.h"
#include "world/lists.h"

namespace qm::soak {
namespace {

using std::to_string;

constexpr int unit_kinds = unit_boss + 1, building_kinds = building_barricade + 1;
constexpr int effect_kinds = effect_poison_cloud + 1;

bool is_faction(std::int32_t f) { return f >= 0 && f < faction_count; }
bool is_faction_or_none(std::int32_t f) { return f == -1 || is_faction(f); }

// What is out of range in one record, or nothing. Shots may fly past the edge, and what is
// carried keeps where it last stood.
template <class Record>
std::string out_of_range(const Record& r, int kinds, const std::string& where, bool placed = true) {
    if (r.kind < 0 || r.kind >= kinds) return where + ": kind " + to_string(r.kind);
    if (!is_faction(r.faction)) return where + ": faction " + to_string(r.faction);
    if (!std::all_of(r.links.begin(), r.links.end(), is_faction_or_none)) return where + ": a link out of range";
    return placed && !on_map(r.x, r.y) ? where + ": off the map" : "";
}

// Floor at its five levels, the source, green walls, grey walls worn or whole, and barriers.
constexpr std::array<Cell, 12> laid_cells{{floor_levels[0], floor_levels[1], floor_levels[2], floor_levels[3],
                                           floor_levels[4], source_cell, {glyph_wall, 2, 0, 0}, {219, 7, 0, 0},
                                           {178, 7, 0, 0}, {177, 7, 0, 0}, {176, 7, 0, 0}, {glyph_barrier, 0, 7, 0}}};

}  // namespace

std::string InvariantChecker::check(const Game& game) {
    const bool new_cycle =
        (game.game_mode == 1 && last_game_mode != 1) || game.megabosses_defeated != last_megabosses_defeated;
    last_game_mode = game.game_mode;
    last_megabosses_defeated = game.megabosses_defeated;
    if (game.open_menu != 0) menu_node = nullptr;
    // Between games nothing is left of the last one.
    const bool no_records = game.units.empty() && game.buildings.empty() && game.effects.empty();
    if (game.game_mode == 0) return no_records ? "" : "records left outside a game";
    if (game.units.empty() || game.units[0]->kind != unit_player) return "no player unit at element 0";

    std::vector<const void*> records;  // every unit and building, for the targets to be looked up in
    int own_fighters = 0, own_fliers = 0;
    for (std::size_t i = 0; i < game.units.size(); ++i) {
        const Unit& u = *game.units[i];
        const std::string where = "unit " + to_string(i);
        if (i > 0 && u.kind == unit_player) return "a second player unit at " + to_string(i);
        if (auto bad = out_of_range(u, unit_kinds, where); !bad.empty()) return bad;
        if (!is_faction_or_none(u.affinity)) return where + ": affinity " + to_string(u.affinity);
        for (const Building& slot : u.carry_slots) {
            if (slot.empty()) continue;
            if (auto bad = out_of_range(slot, building_kinds, where + ", carried", false); !bad.empty()) return bad;
            // A walk over the network marks the nodes it passes and must clear every mark.
            if (slot.flags & building_visited) return "a carried building left marked visited";
        }
        own_fighters += u.kind == unit_own_soldier || u.kind == unit_own_general;
        own_fliers += u.kind == unit_own_flier;
        records.push_back(&u);
    }
    if (std::max(own_fighters, own_fliers) > purchase_limit) return "more own troops or fliers than can be bought";
    for (std::size_t i = 0; i < game.buildings.size(); ++i) {
        const std::string where = "building " + to_string(i);
        if (auto bad = out_of_range(*game.buildings[i], building_kinds, where); !bad.empty()) return bad;
        if (game.buildings[i]->flags & building_visited) return where + " left marked visited";
        records.push_back(game.buildings[i].get());
    }
    for (std::size_t i = 0; i < game.effects.size(); ++i) {
        if (auto bad = out_of_range(*game.effects[i], effect_kinds, "effect " + to_string(i), false); !bad.empty()) {
            return bad;
        }
    }
    if (*std::min_element(game.ooze_store.begin(), game.ooze_store.end()) < 0) return "an ooze store below zero";

    std::sort(records.begin(), records.end());
    const auto gone = [&](const void* r) { return r && !std::binary_search(records.begin(), records.end(), r); };
    for (std::size_t i = 0; i < game.units.size(); ++i) {
        if (gone(game.units[i]->target_unit)) return "unit " + to_string(i) + " targets a unit that is gone";
        if (gone(game.units[i]->target_building)) return "unit " + to_string(i) + " targets a building that is gone";
    }

    if (game.open_menu == 0) {
        // Buildings before the node may go while its menu is open; the menu stays on its node,
        // and closes when the node itself goes.
        if (!menu_node_valid(game)) return "the node menu is open without a node to read";
        const Building* node = game.buildings[static_cast<std::size_t>(game.menu_building)].get();
        if (menu_node != nullptr && node != menu_node) return "the node menu slid off its node";
        menu_node = node;
    }

    // Long runs of one cell are the rule on this map: only a change needs looking up.
    const bool read_map = ++checks_since_map >= map_period;
    if (read_map) checks_since_map = 0;
    Cell last_good = open_ground;
    for (std::size_t i = 0; read_map && i < game.map.size(); ++i) {
        const Cell& c = game.map[i];
        if (c == last_good) continue;
        if (std::find(laid_cells.begin(), laid_cells.end(), c) == laid_cells.end()) {
            return "map cell (" + to_string(i / map_height) + ", " + to_string(i % map_height) + ") holds " +
                   to_string(c.glyph) + " fg " + to_string(c.fg) + " bg " + to_string(c.bg);
        }
        last_good = c;
    }

    // Each total is the sum of its sixteen parts, one per faction: {total, first part, stride}.
    std::vector<std::array<int, 3>> totals{{stat_total_gathered, stat_gathered, 1},
                                           {stat_total_spent, stat_spent, 1},
                                           {stat_barracks_razed_total, stat_barracks_razed, 1},
                                           {stat_airfields_razed_total, stat_airfields_razed, 1}};
    for (int k = 0; k < unit_kinds; ++k) {
        totals.push_back({stat_deaths_by_kind + k, deaths_index(0, k), 10});
        // The citizen column holds the largest census, not recruits.
        if (k != unit_citizen) totals.push_back({stat_recruits_by_kind + k, recruits_index(0, k), 10});
    }
    const auto& counters = game.current_statistics.counters;
    for (const auto& [total, first, stride] : totals) {
        std::uint32_t sum = 0;
        for (int f = 0; f < faction_count; ++f) sum += counters[static_cast<std::size_t>(first + f * stride)];
        if (counters[static_cast<std::size_t>(total)] != sum) return "counter " + to_string(total) + " is not its sum";
    }
    if (auto bad = game.index.disagreement(game.units, game.buildings, game.effects); !bad.empty()) return bad;
    // Every ooze drop gathered in this megaboss cycle is in the cycle's tally.
    const std::uint32_t gathered = counters[stat_total_gathered];
    if (new_cycle) gathered_at_cycle_start = gathered;
    const auto cycle = static_cast<std::uint32_t>(std::accumulate(game.cycle_ooze.begin(), game.cycle_ooze.end(), 0));
    if (cycle != gathered - gathered_at_cycle_start) {
        return "cycle ooze " + to_string(cycle) + " but " + to_string(gathered - gathered_at_cycle_start) +
               " gathered this cycle";
    }
    return {};
}

namespace {

enum class Screen { sector_assignment, map, status, defeat_notice, name_entry, records, replay, megaboss_victory };

// A modal screen told by its texts; one with none of them is the status (or promotion) screen.
Screen classify_modal(const ScreenBuffer& s) {
    const auto has = [&](int row, const char* text) { return row_text(s, row).find(text) != std::string::npos; };
    if (has(11, "The citizens under your charge have all been slain.")) return Screen::defeat_notice;
    if (has(13, "Would you like to play again?  (Y - Yes, N or ESC - Quit)")) return Screen::replay;
    if (has(11, "You have bested an old record!  What is your name?")) return Screen::name_entry;
    if (has(12, "YOU HAVE DEFEATED THE MEGABOSS.  PRESS H TO TAKE ON THE NEXT ONE.")) return Screen::megaboss_victory;
    return has(24, "Press space to continue.") ? Screen::records : Screen::status;
}

// Cursor keys and the keypad's corners as the curses read returns them, the digit that steps
// by (dx, dy), and the letter that reaches there.
constexpr std::array<int, 9> keypad_codes{0x102, 0x103, 0x104, 0x105, 0x1C1, 0x1C3, 0x1C5, 0x1C7, 0x1C9};
constexpr char step_keys[3][4] = {"741", "852", "963"}, reach_keys[3][4] = {"qaz", "w x", "edc"};
int sign(int v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }
int distance(const Unit& u, int x, int y) { return std::max(std::abs(x - u.x), std::abs(y - u.y)); }

// A restless player on every screen, from draws of its own so the game's draws stay the game's.
// It never presses a key that ends the run: ESC only on the records screen, where it just leaves
// the records, and never 'n' at the replay question. Between frames it also takes a hand in the
// game through the game's own functions: ooze for the stores, so every purchase gets bought; an
// end to each game after a while, so defeats come; towers and barricades brought down under an
// open menu; and in some games a rush through the stages to the megaboss and past it.
class SoakPlayer final : public Terminal {
public:
    SoakPlayer(Game& game, const SoakOptions& options) : game_(game), options_(options), dice_(options.seed) {}

    std::function<void()> on_modal;
    void begin_frame() { presents_ = 0; }

    void present(const ScreenBuffer& screen) override {
        // The first present of a frame is its own screen; any further one is modal.
        const bool modal = presents_++ > 0;
        screen_ = modal ? classify_modal(screen) : game_.game_mode == 0 ? Screen::sector_assignment : Screen::map;
        if (modal && on_modal) on_modal();
        clock_ += 3;  // a real screen takes a few milliseconds to draw
    }
    int read_key() override {
        const int roll = below(100);
        switch (screen_) {
            case Screen::sector_assignment: return roll < 40 ? "46"[below(2)] : roll < 55 ? key_none : noise_key();
            case Screen::map: return map_key();
            case Screen::status: return roll < 40 ? key_none : noise_key();
            case Screen::name_entry:  // letters, rubouts of every kind, a bell, and Enter both ways
                if (roll < 55) return letter("abcdefghijklmnopqrstuvwxyz0123456789 "[below(37)]);
                return roll < 75 ? std::array{8, 127, 0x107, 7, 10, 13}[static_cast<std::size_t>(below(6))]
                                 : roll < 90 ? key_none : noise_key();
            case Screen::records: return roll < 45 ? ' ' : roll < 55 ? key_escape : roll < 75 ? key_none : noise_key();
            case Screen::replay: return roll < 30 ? letter('y') : roll < 60 ? key_none : noise_key(true);
            default: return roll < 30 ? letter('h') : roll < 60 ? key_none : noise_key();
        }
    }
    std::uint32_t tick_ms() override { return clock_; }
    void wait_until(std::uint32_t tick) override { clock_ = std::max(clock_, tick); }
    void set_realtime_input(bool) override {}

    void new_game() {
        const bool rushing = options_.rush_one_in > 0 && below(options_.rush_one_in) == 0;
        const int length = options_.shortest_game + below(options_.longest_game - options_.shortest_game + 1);
        age_ = 0, lifetime_ = rushing ? 3 * length : length, rush_at_ = rushing ? 50 + below(1500) : -1;
    }
    // After a megaboss fell: half the time the next one is rushed to as well.
    void new_cycle() { rush_at_ = below(2) == 0 ? age_ + 50 + below(1500) : -1; }

    // Between two frames of a game.
    void step() {
        ++age_;
        if (below(300) == 0) game_.ooze_store[static_cast<std::size_t>(below(16))] += 1 + below(400);
        if (game_.open_menu == 0 && below(20) == 0) {
            std::int32_t& store = game_.ooze_store[game_.buildings[game_.menu_building]->faction];
            if (store < 300) store += 3000;
        }
        if (rush_at_ >= 0 && age_ >= rush_at_) rush();
        if (age_ > lifetime_) strike_down(unit_citizen);
        // A fallen tower or barricade shifts the buildings after it, the open menu's node among them.
        if (game_.open_menu == 0 && below(40) == 0) {
            const auto i = static_cast<std::size_t>(below(static_cast<int>(game_.buildings.size())));
            const int kind = game_.buildings[i]->kind;
            if (kind == building_tower || kind == building_barricade) remove_building(game_, i);
        }
    }

private:
    int below(int n) { return static_cast<int>(dice_() % static_cast<std::uint32_t>(n)); }
    int letter(char c) { return below(3) == 0 && c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }
    int movement_key() { return below(3) == 0 ? keypad_codes[static_cast<std::size_t>(below(9))] : '1' + below(9); }
    // Any key code an int can hold, but none the game would take as ESC, nor (refuse_no) as 'n'.
    int noise_key(bool refuse_no = false) {
        for (;;) {
            const int key = below(4) == 0 ? static_cast<int>(dice_() ^ (dice_() << 16)) : 1 + below(255);
            const int seen = normalise_key(key_low_byte(key));
            if (seen != key_escape && seen != key_none && !(refuse_no && seen == 'n')) return key;
        }
    }
    // Now and then a sidestep, so a wall or a carried building in the way is got round.
    int step_toward(const Unit& p, int x, int y) {
        return below(4) == 0 ? movement_key() : step_keys[sign(x - p.x) + 1][sign(y - p.y) + 1];
    }

    int map_key() {
        const bool menu_open = game_.open_menu != -1;
        // Now and then a node menu opens a buying spree: troops and fliers up to the limits.
        if (menu_open && !menu_was_open_ && game_.open_menu == 0 && below(30) == 0) spree_left_ = 100 + below(500);
        menu_was_open_ = menu_open;
        if (game_.open_menu != 0) spree_left_ = 0;
        if (spree_left_ > 0 && spree_left_--) return below(5) == 0 ? key_none : "edzwa"[below(5)];
        const int roll = below(100);
        if (menu_open) {
            if (roll < 45) return letter("qweadzc"[below(7)]);
            return roll < 50 ? 'x' : roll < 75 ? key_none : roll < 85 ? movement_key() : noise_key();
        }
        // Half the time an errand a while, half the time a wander.
        if (--mood_left_ <= 0) errand_ = below(20), mood_left_ = 50 + below(400);
        if (errand_ < 10 && roll < 80) return errand_key();
        const int r = below(100);
        if (r < 72) return r < 45 ? key_none : movement_key();
        return r < 92 ? letter("qweadzxc"[below(8)]) : r < 94 ? letter('s') : noise_key();
    }

    // One errand a while: 0-3 open the menus of active nodes; 4-7 grow the network, setting nodes
    // down on sources and on the floor active nodes energise; 8-9 take active nodes up again, so
    // the network goes dark. Without a node in hand it fetches the nearest one.
    int errand_key() {
        const Unit& p = *game_.units[0];
        const auto nearest = [&](auto wanted) {
            const Building* best = nullptr;
            for (const auto& b : game_.buildings) {
                if (wanted(*b) && (!best || distance(p, b->x, b->y) < distance(p, best->x, best->y))) best = b.get();
            }
            return best;
        };
        const Building* active =
            nearest([&](const Building& b) { return is_active_node(game_, b) && distance(p, b.x, b.y) <= 40; });
        if (active && errand_ < 4 && distance(p, active->x, active->y) <= 1) {
            return reach_keys[active->x - p.x + 1][active->y - p.y + 1];
        }
        // Walking into a node takes it.
        const auto& slots = p.carry_slots;
        const auto carried = 8 - std::count_if(slots.begin(), slots.end(), [](auto& s) { return s.empty(); });
        if (active && (errand_ < 4 || (errand_ >= 8 && carried < 3))) return step_toward(p, active->x, active->y);

        const auto slot = std::find_if(slots.begin(), slots.end(), [](auto& s) { return s.kind == building_node; });
        std::vector<std::pair<int, int>> spots;
        for (std::size_t k = 0; active && k < link_offsets.size(); ++k) {
            const int x = active->x + link_offsets[k].dx, y = active->y + link_offsets[k].dy;
            if (on_map(x, y) && is_energised_floor(map_cell(game_, x, y)) && find_building_at(game_, x, y) < 0) {
                spots.push_back({x, y});
            }
        }
        if (slot != slots.end() && spots.empty() && (sources_.empty() || below(300) == 0)) {
            sources_.clear();
            for (int x = game_.open_min_x; x < std::min(game_.open_max_x + 80, map_width); ++x) {
                for (int y = game_.open_min_y; y < std::min(game_.open_max_y + 25, map_height); ++y) {
                    if (is_source(map_cell(game_, x, y))) sources_.push_back({x, y});
                }
            }
        }
        // Where to stand so that the node in hand comes down on the nearest spot.
        const Offset o = direction_offset(static_cast<int>(slot - slots.begin()) % 8);
        const auto stand = [&](std::pair<int, int> s) { return distance(p, s.first - o.dx, s.second - o.dy); };
        const auto& where = spots.empty() ? sources_ : spots;
        const auto best = std::ranges::min_element(where, {}, stand);
        if (slot != slots.end() && best != where.end()) {
            if (stand(*best) == 0) return reach_keys[o.dx + 1][o.dy + 1];
            return step_toward(p, best->first - o.dx, best->second - o.dy);
        }
        const Building* node = nearest([&](const Building& b) {
            return (b.kind == building_node && !is_active_node(game_, b)) || b.kind == building_corrupted_node;
        });
        return node == nullptr ? movement_key() : step_toward(p, node->x, node->y);
    }

    // Every stage opened at once, the hostile buildings razed from then on so the countdown
    // keeps going, the countdown run down by the wave step to its last frames, and the megaboss
    // let stay a while.
    void rush() {
        if (game_.wave_countdown == -2) {
            if (--megaboss_stay_ < 0) strike_down(unit_boss);
            return;
        }
        megaboss_stay_ = 200 + below(2500);
        const bool now = age_ == rush_at_;
        for (int stage = 0; now && stage < 30 && game_.more_sectors == 1; ++stage) open_next_stage(game_);
        for (std::size_t i = game_.buildings.size(); (now || age_ % 25 == 0) && i-- > 0;) {
            if (is_hostile_building_kind(game_.buildings[i]->kind)) remove_building(game_, i);
        }
        const int left = 1 + below(300);
        while (now && game_.wave_countdown != -2 && game_.wave_countdown != left) wave_step(game_);
    }
    // Blows through the game's own damage rule, larger than any unit's hit points.
    void strike_down(int kind) {
        for (const auto& u : game_.units) {
            if (u->kind != kind || (kind == unit_boss && (u->flags & unit_megaboss) == 0)) continue;
            damage(game_, *u, 1 << 20, power_harm);
        }
    }

    Game& game_;
    const SoakOptions& options_;
    std::mt19937 dice_;
    std::uint32_t clock_ = 1000;
    Screen screen_ = Screen::sector_assignment;
    bool menu_was_open_ = false;
    int presents_ = 0, errand_ = 0, mood_left_ = 0, spree_left_ = 0;
    int age_ = 0, lifetime_ = 0, rush_at_ = -1, megaboss_stay_ = 0;
    std::vector<std::pair<int, int>> sources_;
};

}  // namespace

void SoakReport::add(const SoakReport& other) {
    frames += other.frames, checks += other.checks, games += other.games;
    megabosses_defeated += other.megabosses_defeated;
    if (failure.empty()) failure = other.failure;
}

SoakReport run_soak(const SoakOptions& options) {
    SoakReport report;
    auto game = std::make_unique<Game>();
    SoakPlayer player(*game, options);
    InvariantChecker checker;
    // The first fault is kept, with the seed and the frame that replay it.
    const auto note = [&](const std::string& fault, const char* when = "") {
        if (fault.empty()) ++report.checks;
        if (fault.empty() || !report.failure.empty()) return;
        report.failure =
            "seed " + to_string(options.seed) + ", frame " + to_string(report.frames) + ": " + fault + when;
    };
    std::string scratch = (std::filesystem::temp_directory_path() / "quillmire-soak-XXXXXX").string();
    if (::mkdtemp(scratch.data()) == nullptr) scratch = ".";

    // As the title screen leaves it, with the soak's seed.
    game->terminal = &player;
    game->score_directory = scratch;
    game->seed = options.seed;
    set_clip(game->screen, 0, screen_columns - 1, 0, screen_rows - 1);
    reset_game_state(*game);
    player.on_modal = [&] { note(checker.check(*game), " (on a modal screen)"); };

    while (report.frames < options.frames && report.failure.empty()) {
        const bool in_game = game->game_mode == 1;
        const std::int32_t defeated = game->megabosses_defeated;
        player.begin_frame();
        if (in_game ? game_frame(*game) : sector_assignment_frame(*game)) note("the game quit, unasked");
        ++report.frames;
        note(checker.check(*game));
        if (!report.failure.empty() || game->game_mode != 1) continue;
        if (!in_game) ++report.games, player.new_game();
        if (game->megabosses_defeated != defeated) ++report.megabosses_defeated, player.new_cycle();
        player.step();
    }
    if (scratch != ".") std::filesystem::remove_all(scratch);
    return report;
}

}  // namespace qm::soak
