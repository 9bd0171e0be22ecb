#include "records/records_screen.h"

#include <algorithm>
#include <string>

#include "console/pacing.h"
#include "records/statistics.h"
#include "world/factions.h"

namespace qm {
namespace {

using FactionNames = std::array<std::string_view, faction_count>;

constexpr FactionNames megaboss_names{{
    "The Ohm Soul", "Ginormous Serpent", "Elder Dragon", "Flesh MegaGrinder", "Demon Prince",
    "Worm of Ages", "Kurtulmak", "Rocket Dreadnought", "Steel Megastomper", "Massive Swordroid",
    "Mutant MegaFace", "Metal Sublime", "The Sand Shaper", "Death Lord", "Electrical Storm",
    "Dark Angel Queen",
}};
constexpr FactionNames boss_names{{
    "Soul of Midnight", "Twinhead Serpent", "Dragon", "Flesh Grinder", "Archdemon", "Giant Leech",
    "Kobold Priest", "Rocket Warship", "Steel Behemoth", "Piston Slicer", "Giant Mutant Face",
    "Metal Overlord", "Living Sandstorm", "Lich", "Wild Electricity", "Fallen Angel",
}};
constexpr FactionNames enemy_general_names{{
    "Star Knight", "Snake Master", "Lizard Tamer", "Rush Automaton", "Demon Lasher",
    "Diseased Knight", "Kobold Chief", "Rocket Cruiser", "Steel Champion", "Robot Blade",
    "Large Mutant", "Cyborg Commando", "Sand Wizard", "Undead Knight", "Electric Warrior",
    "Corrupt Priest",
}};
constexpr FactionNames enemy_soldier_names{{
    "Midnight Slave", "Serpentman", "Lizardman", "Boosted Robot", "Demon", "Plaguebearer", "Kobold",
    "Robot PT Boat", "Steel Soldier", "Autosword", "Mutant", "Cyborg", "Living Sand", "Zombie",
    "Electric Pulse", "Fanatic",
}};
constexpr FactionNames enemy_flier_names{{
    "Shadow Flier", "Winged Serpent", "Flying Lizard", "Rush Flier", "Imp", "Giant Locust",
    "Kobold Flier", "Rocket Copter", "Steel Flier", "Robot Flier", "Flying Mutant", "Cyborg Flier",
    "Sand Spitter", "Vampire Bat", "Electric Flier", "Witch",
}};
constexpr FactionNames own_general_names{{
    "Hollow Seer", "Slice Automaton", "Master Assassin", "Rush Automaton", "Lord of Fire",
    "Void Walker", "Gnome Captain", "Machine Knight", "Heavy Knight", "Crush Automaton",
    "Grid Elf Lord", "Hyper Automaton", "Mind Bender", "Chemo-Automaton", "Pulse Automaton",
    "Paladin",
}};
constexpr FactionNames own_soldier_names{{
    "Hollow Acolyte", "Slice Bot", "Grid Assassin", "Rush Bot", "Fire Soldier", "Void Soldier",
    "Gnome Soldier", "Machine Soldier", "Heavy Soldier", "Crush Bot", "Grid Elf", "Hyper Bot",
    "Bender Acolyte", "Chemo-Bot", "Pulse Bot", "Healer",
}};
constexpr FactionNames own_flier_names{{
    "Mini-Crystal", "Slice Flier", "Assassin Probe", "Rush Flier", "Flame Bird", "Shadow Shaft",
    "Gnome Flier", "Knight Flier", "Armored Flier", "Crush Flier", "Griffon", "Hyper Flier",
    "Bent Flier", "Chemo-Flier", "Pulse Flier", "White Flier",
}};
constexpr FactionNames citizen_names{{
    "Hollow Cultist", "Slice Mechanic", "Poison Brewer", "Rush Mechanic", "Flame Tender",
    "Void Worshipper", "Gnome", "Machine Serf", "Grid Worker", "Crush Mechanic", "Grid Elfling",
    "Hyper Mechanic", "Waddling Brain", "Chemist", "Pulse Engineer", "Priest",
}};

// One row of a page, or (with a faction step) sixteen: faction f's row stands f rows lower
// and shows counter + step * f, in f's colour.
struct RecordRow {
    int row = 0;
    int column = 0;
    int counter = 0;
    int faction_step = 0;
    std::string_view label;              // the heading, or every faction row's label
    const FactionNames* names = nullptr; // faction rows labelled by faction instead
    // Megaboss rows keep the plain label until that megaboss has fallen once.
    bool named_once_won = false;
};

constexpr RecordRow heading(int row, int column, std::string_view label, int counter) {
    return {row, column, counter, 0, label, nullptr, false};
}
constexpr RecordRow by_faction(int row, int column, std::string_view label, int counter, int step) {
    return {row, column, counter, step, label, nullptr, false};
}
constexpr RecordRow by_faction(int row, int column, const FactionNames& names, int counter, int step) {
    return {row, column, counter, step, {}, &names, false};
}

constexpr int max_rows_per_page = 6;

struct RecordPage {
    std::string_view title;
    int row_count;
    std::array<RecordRow, max_rows_per_page> rows;
};

constexpr int deaths_of(int kind) { return stat_deaths_by_kind + kind; }
constexpr int recruits_of(int kind) { return stat_recruits_by_kind + kind; }

constexpr std::array<RecordPage, record_page_count> record_pages{{
    {"Overall Winners", 6,
     {heading(2, 0, "Sectors Cleared", stat_sectors_cleared),
      {4, 0, stat_megaboss_kills, 1, "Sectors", &megaboss_names, true},
      heading(2, 40, "Experience", stat_experience),
      by_faction(4, 40, "Leadership", stat_leadership_levels, 1),
      heading(21, 40, "Healthiest", stat_health_level),
      heading(21, 0, "Weaponry", stat_weapon_level)}},
    {"Resources", 4,
     {heading(2, 0, "Gathered", stat_total_gathered),
      by_faction(4, 0, "Gathered", stat_gathered, 1),
      heading(2, 40, "Spent", stat_total_spent),
      by_faction(4, 40, "Spent", stat_spent, 1)}},
    {"Unit Destruction", 5,
     {heading(2, 22, "Total", stat_total_destroyed),
      heading(4, 0, "Tot Boss", deaths_of(unit_boss)),
      by_faction(5, 0, boss_names, deaths_index(0, unit_boss), 10),
      heading(4, 40, "Tot General", deaths_of(unit_enemy_general)),
      by_faction(5, 40, enemy_general_names, deaths_index(0, unit_enemy_general), 10)}},
    {"Unit Destruction", 5,
     {heading(2, 22, "Total", stat_total_destroyed),
      heading(4, 0, "Tot Soldier", deaths_of(unit_enemy_soldier)),
      by_faction(5, 0, enemy_soldier_names, deaths_index(0, unit_enemy_soldier), 10),
      heading(4, 40, "Tot Flier", deaths_of(unit_enemy_flier)),
      by_faction(5, 40, enemy_flier_names, deaths_index(0, unit_enemy_flier), 10)}},
    {"Unit Destruction", 3,
     {heading(2, 22, "Total", stat_total_destroyed),
      heading(4, 22, "Total Ooze", deaths_of(unit_ooze)),
      by_faction(5, 22, "Corrupt Ooze", deaths_index(0, unit_ooze), 10)}},
    {"Unit Losses", 5,
     {heading(2, 22, "Total Lost", stat_total_lost),
      heading(4, 0, "Tot Crystal", deaths_of(unit_player)),
      by_faction(5, 0, "Crystallite", deaths_index(0, unit_player), 10),
      heading(4, 40, "Tot General", deaths_of(unit_own_general)),
      by_faction(5, 40, own_general_names, deaths_index(0, unit_own_general), 10)}},
    {"Unit Losses", 5,
     {heading(2, 22, "Total Lost", stat_total_lost),
      heading(4, 0, "Tot Soldier", deaths_of(unit_own_soldier)),
      by_faction(5, 0, own_soldier_names, deaths_index(0, unit_own_soldier), 10),
      heading(4, 40, "Tot Flier", deaths_of(unit_own_flier)),
      by_faction(5, 40, own_flier_names, deaths_index(0, unit_own_flier), 10)}},
    {"Unit Losses", 3,
     {heading(2, 22, "Total Lost", stat_total_lost),
      heading(4, 22, "Tot Citizen", deaths_of(unit_citizen)),
      by_faction(5, 22, citizen_names, deaths_index(0, unit_citizen), 10)}},
    {"Building Destruction", 5,
     {heading(2, 22, "Total Razed", stat_total_razed),
      heading(4, 0, "Barracks", stat_barracks_razed_total),
      by_faction(5, 0, barracks_names, stat_barracks_razed, 1),
      heading(4, 40, "Airfield", stat_airfields_razed_total),
      by_faction(5, 40, airfield_names, stat_airfields_razed, 1)}},
    {"Recruits and Citizens", 5,
     {heading(2, 22, "Total Recruits", stat_total_recruits),
      heading(4, 0, "Tot General", recruits_of(unit_own_general)),
      by_faction(5, 0, own_general_names, recruits_index(0, unit_own_general), 10),
      heading(4, 40, "Tot Soldier", recruits_of(unit_own_soldier)),
      by_faction(5, 40, own_soldier_names, recruits_index(0, unit_own_soldier), 10)}},
    {"Recruits and Citizens", 5,
     {heading(2, 22, "Total Recruits", stat_total_recruits),
      heading(4, 0, "Tot Flier", recruits_of(unit_own_flier)),
      by_faction(5, 0, own_flier_names, recruits_index(0, unit_own_flier), 10),
      // The citizen entries hold the census maxima.
      heading(4, 40, "Max Census", recruits_of(unit_citizen)),
      by_faction(5, 40, citizen_names, recruits_index(0, unit_citizen), 10)}},
}};

constexpr int heading_colour = -1;
constexpr std::string_view turn_page_hint = "Press space to continue.";
constexpr int value_end = 20;
constexpr int holder_end = 36;
constexpr int row_width = 40;
// The pulse steps through black, blue and green, a third of a second each.
constexpr std::uint32_t pulse_ms = 334;

void draw_counter_row(Game& game, int counter, std::string_view label, int row, int column, int colour) {
    draw_record_row(game, game.record_statistics.counters[counter], game.current_statistics.counters[counter],
                    label, holder_text(game.record_statistics.holders[counter]), row, column, colour);
}

void draw_rows(Game& game, const RecordRow& rows) {
    if (rows.faction_step == 0) {
        draw_counter_row(game, rows.counter, rows.label, rows.row, rows.column, heading_colour);
        return;
    }
    for (int f = 0; f < faction_count; ++f) {
        const int counter = rows.counter + rows.faction_step * f;
        std::string_view label = rows.names != nullptr ? (*rows.names)[f] : rows.label;
        if (rows.named_once_won && game.record_statistics.counters[counter] == 0 &&
            game.current_statistics.counters[counter] == 0) {
            label = rows.label;
        }
        draw_counter_row(game, counter, label, rows.row + f, rows.column, f);
    }
}

void draw_page(Game& game, const RecordPage& page) {
    clear_screen(game.screen);
    set_colour(game.screen, 7, 0, 1);
    put_centred(game.screen, 0, page.title);
    for (int i = 0; i < page.row_count; ++i) draw_rows(game, page.rows[i]);
    set_colour(game.screen, 7, 0, 1);
    put_centred(game.screen, 24, turn_page_hint);
    flush_screen(game);
}

}  // namespace

std::string_view holder_text(const std::array<char, holder_name_size>& holder) {
    const auto end = std::find(holder.begin(), holder.end(), '\0');
    return std::string_view(holder.data(), static_cast<std::size_t>(end - holder.begin()));
}

void draw_record_row(Game& game, std::uint32_t record, std::uint32_t current, std::string_view label,
                     std::string_view holder, int row, int column, int colour) {
    ScreenBuffer& screen = game.screen;
    if (colour == heading_colour) {
        set_colour(screen, 6 + random(game, 2), 0, 1);
    } else {
        faction_colour(game, colour, 0);
    }
    set_cursor(screen, row, column);
    put_text(screen, label);

    // A long label loses its last characters to a long value.
    const std::string value = std::to_string(std::max(record, current));
    set_cursor(screen, row, column + value_end + 1 - static_cast<int>(value.size()));
    put_text(screen, value);

    const bool beaten = current > record;
    if (beaten) {
        const int fg = random(game, 8);
        const int bright = random(game, 2);
        set_colour(screen, fg, screen.pen.bg, bright);
    }
    const std::string_view shown = record == 0 && current == 0 ? std::string_view("---") : holder;
    set_cursor(screen, row, column + holder_end + 1 - static_cast<int>(shown.size()));
    put_text(screen, shown);

    if (beaten && row >= 0 && row < screen_rows) {
        const auto pulse = static_cast<std::uint8_t>(game.terminal->tick_ms() % 1000 / pulse_ms);
        for (int c = std::max(column, 0); c < column + row_width && c < screen_columns; ++c) screen.at(c, row).bg = pulse;
    }
}

void show_records(Game& game) {
    int page = 0;
    while (page < record_page_count) {
        draw_page(game, record_pages[page]);
        const int key = read_normalised_key(game);
        if (key == key_escape) return;
        if (key == ' ') {
            ++page;
        } else if (key == key_none) {
            game.terminal->wait_until(game.terminal->tick_ms() + frame_ms);
        }
    }
}

}  // namespace qm
