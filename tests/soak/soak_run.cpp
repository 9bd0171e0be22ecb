#include "soak/soak_run.h"

#include <stdlib.h>

#include <algorithm>

#include "buildings/sector_opening.h"
#include "console/startup.h"
#include "flow/game_frame.h"
#include "flow/megaboss_wave.h"
#include "flow/sector_assignment.h"
#include "records/statistics.h"
#include "soak/invariants.h"
#include "units/combat.h"
#include "world/lists.h"

namespace qm::soak {
namespace {

// Now and then the stores get a windfall, large enough at times for a promotion.
constexpr int gift_one_in = 300;
constexpr int largest_gift = 400;
// While a node menu is open its store is topped up now and then, for buying sprees.
constexpr int windfall_one_in = 20;
constexpr int windfall = 3000;
// A rushing game waits up to this long before it opens every stage.
constexpr int longest_rush_wait = 1500;
// A rushing game clears the hostile buildings this often, so each stage opens at once.
constexpr int rush_clear_period = 25;
// A megaboss that has not fallen by itself is struck down after this many frames at most.
constexpr int longest_megaboss_stay = 2500;
// While a node menu is open, one frame in this many a defence falls.
constexpr int knock_down_one_in = 40;
// More than any unit's hit points, toughness included.
constexpr int fatal_blow = 1 << 20;

class Director {
public:
    Director(Game& game, const SoakOptions& options, SoakReport& report)
        : game_(game), options_(options), report_(report), dice_(options.seed ^ 0xD1EC7u) {}

    void new_game() {
        age_ = 0;
        lifetime_ = options_.shortest_game + dice_.below(options_.longest_game - options_.shortest_game + 1);
        const bool rushing = options_.rush_one_in > 0 && dice_.one_in(options_.rush_one_in);
        if (rushing) lifetime_ *= 3;
        rush_at_ = rushing ? age_ + 50 + dice_.below(longest_rush_wait) : -1;
    }

    // After a megaboss fell: half the time the next one is rushed to as well.
    void new_cycle() {
        rush_at_ = dice_.one_in(2) ? age_ + 50 + dice_.below(longest_rush_wait) : -1;
    }

    // Between two frames of a game.
    void step() {
        ++age_;
        if (dice_.one_in(gift_one_in)) give_ooze();
        if (game_.open_menu == 0 && dice_.one_in(windfall_one_in)) give_windfall();
        if (rush_at_ >= 0 && age_ >= rush_at_) rush();
        if (age_ > lifetime_) strike_down(unit_citizen);
        if (game_.open_menu == 0 && dice_.one_in(knock_down_one_in)) knock_down_defence();
    }

private:
    // Mostly to the faction of a node, whose menu spends it; now and then to anyone's.
    void give_ooze() {
        std::vector<int> factions;
        for (const auto& b : game_.buildings) {
            if (b->kind == building_node) factions.push_back(b->faction);
        }
        int faction = game_.player_faction;
        if (!factions.empty() && !dice_.one_in(5)) {
            faction = factions[static_cast<std::size_t>(dice_.below(static_cast<int>(factions.size())))];
        } else if (!game_.buildings.empty()) {
            faction = game_.buildings[static_cast<std::size_t>(dice_.below(static_cast<int>(game_.buildings.size())))]->faction;
        }
        if (faction < 0 || faction >= 16) return;
        const int amount = 1 + dice_.below(largest_gift);
        game_.ooze_store[static_cast<std::size_t>(faction)] += amount;
        report_.ooze_given += static_cast<std::uint64_t>(amount);
    }

    // Enough for the open menu's node to buy up to the limits.
    void give_windfall() {
        const int faction = game_.buildings[static_cast<std::size_t>(game_.menu_building)]->faction;
        if (faction < 0 || faction >= 16 || game_.ooze_store[static_cast<std::size_t>(faction)] >= 300) return;
        game_.ooze_store[static_cast<std::size_t>(faction)] += windfall;
        report_.ooze_given += windfall;
    }

    // Late states by the game's own steps: every stage opened as finished sweeps would open
    // them, the countdown run down to its last frames as the wave step runs it, the hostile
    // buildings razed from then on so the countdown keeps going, and the megaboss let stay a
    // while before it falls.
    void rush() {
        if (game_.wave_countdown == -2) {
            if (++megaboss_age_ > megaboss_stay_) strike_down(unit_boss);
            return;
        }
        megaboss_age_ = 0;
        megaboss_stay_ = 200 + dice_.below(longest_megaboss_stay);
        if (age_ == rush_at_) {
            for (int stage = 0; stage < 30 && game_.more_sectors == 1; ++stage) open_next_stage(game_);
            raze_hostile_buildings();
            const int left = 1 + dice_.below(300);
            for (int i = 0; i <= wave_countdown_frames && (game_.wave_countdown < 0 || game_.wave_countdown > left); ++i) {
                if (game_.wave_countdown == -2) break;
                wave_step(game_);
            }
            return;
        }
        if (age_ % rush_clear_period == 0) raze_hostile_buildings();
    }

    // A tower or barricade falls as hostile soldiers bring one down, shifting the buildings
    // after it, the open menu's node among them.
    void knock_down_defence() {
        std::vector<std::size_t> defences;
        for (std::size_t i = 0; i < game_.buildings.size(); ++i) {
            const int kind = game_.buildings[i]->kind;
            if (kind == building_tower || kind == building_barricade) defences.push_back(i);
        }
        if (defences.empty()) return;
        remove_building(game_, defences[static_cast<std::size_t>(dice_.below(static_cast<int>(defences.size())))]);
    }

    void raze_hostile_buildings() {
        for (std::size_t i = game_.buildings.size(); i-- > 0;) {
            if (is_hostile_building_kind(game_.buildings[i]->kind)) remove_building(game_, i);
        }
    }

    // Blows through the game's own damage rule; the death sweeps do the rest.
    void strike_down(int kind) {
        for (const auto& u : game_.units) {
            if (u->kind != kind) continue;
            if (kind == unit_boss && (u->flags & unit_megaboss) == 0) continue;
            damage(game_, *u, fatal_blow, power_harm);
        }
    }

    Game& game_;
    const SoakOptions& options_;
    SoakReport& report_;
    Dice dice_;
    int age_ = 0;
    int lifetime_ = 0;
    int rush_at_ = -1;
    int megaboss_age_ = 0;
    int megaboss_stay_ = 0;
};

std::string when(const SoakOptions& options, std::uint64_t frame) {
    return "seed " + std::to_string(options.seed) + ", frame " + std::to_string(frame) + ": ";
}

}  // namespace

void SoakReport::add(const SoakReport& other) {
    frames += other.frames;
    checks += other.checks;
    games += other.games;
    megabosses_arrived += other.megabosses_arrived;
    megabosses_defeated += other.megabosses_defeated;
    menu_followed += other.menu_followed;
    most_units = std::max(most_units, other.most_units);
    ooze_given += other.ooze_given;
    for (std::size_t i = 0; i < purchases.size(); ++i) purchases[i] += other.purchases[i];
    for (std::size_t i = 0; i < shown.size(); ++i) shown[i] += other.shown[i];
    if (failure.empty()) failure = other.failure;
}

SoakReport run_soak(const SoakOptions& options) {
    SoakReport report;
    auto game = std::make_unique<Game>();
    SoakTerminal terminal(*game, options.seed);
    InvariantChecker checker;
    Director director(*game, options, report);

    // As the title screen leaves it, with the seed the soak chose.
    game->terminal = &terminal;
    game->score_directory = options.score_directory.string();
    game->seed = options.seed;
    set_clip(game->screen, 0, screen_columns - 1, 0, screen_rows - 1);
    reset_game_state(*game);

    terminal.on_modal = [&](Screen) {
        if (report.failure.empty() && !checker.check(*game)) {
            report.failure = when(options, report.frames) + checker.failure() + " (on a modal screen)";
        }
    };

    while (report.frames < options.frames && report.failure.empty()) {
        const bool in_game = game->game_mode == 1;
        const std::int32_t countdown = game->wave_countdown;
        const std::int32_t defeated = game->megabosses_defeated;
        const std::uint32_t spent = game->current_statistics.counters[stat_total_spent];

        terminal.begin_frame();
        const bool quit = in_game ? game_frame(*game) : sector_assignment_frame(*game);
        ++report.frames;
        if (quit) {
            report.failure = when(options, report.frames) + "the game quit, though no key asked it to";
            break;
        }
        if (!report.failure.empty()) break;
        if (!checker.check(*game)) {
            report.failure = when(options, report.frames) + checker.failure();
            break;
        }

        if (!in_game && game->game_mode == 1) {
            ++report.games;
            director.new_game();
        }
        if (game->game_mode != 1) continue;
        if (countdown != -2 && game->wave_countdown == -2) ++report.megabosses_arrived;
        if (game->megabosses_defeated != defeated) {
            ++report.megabosses_defeated;
            director.new_cycle();
        }
        if (in_game && game->current_statistics.counters[stat_total_spent] != spent && terminal.menu_letter() != 0) {
            ++report.purchases[purchase_keys.find(static_cast<char>(terminal.menu_letter()))];
        }
        report.most_units = std::max<std::uint64_t>(report.most_units, game->units.size());
        director.step();
    }
    report.checks = checker.checks_passed();
    report.menu_followed = checker.menu_followed();
    report.shown = terminal.shown();
    return report;
}

ScratchDirectory::ScratchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillmire-soak-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

}  // namespace qm::soak
