#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "records/records_screen.h"
#include "records/records_support.h"
#include "support/scripted_terminal.h"

namespace qm {
namespace {

// A row of a page as the player reads it: a heading (one row) or a run of sixteen faction rows
// (the row of faction f stands f lower and shows counter + step * f), with the labels of
// factions 0 and 15.
struct ShownRow {
    int page, row, column, counter, step;
    const char *first_label, *last_label;
};

constexpr ShownRow shown_rows[] = {
    {0, 2, 0, 447, 0, "Sectors Cleared", ""},              {0, 4, 0, 431, 1, "The Ohm Soul", "Dark Angel Queen"},
    {0, 2, 40, 18, 0, "Experience", ""},                   {0, 4, 40, 0, 1, "Leadership", "Leadership"},
    {0, 21, 40, 16, 0, "Healthiest", ""},                  {0, 21, 0, 17, 0, "Weaponry", ""},
    {1, 2, 0, 51, 0, "Gathered", ""},                      {1, 4, 0, 19, 1, "Gathered", "Gathered"},
    {1, 2, 40, 52, 0, "Spent", ""},                        {1, 4, 40, 35, 1, "Spent", "Spent"},
    {2, 2, 22, 393, 0, "Total", ""},                       {2, 4, 0, 382, 0, "Tot Boss", ""},
    {2, 5, 0, 62, 10, "Soul of Midnight", "Fallen Angel"}, {2, 4, 40, 378, 0, "Tot General", ""},
    {2, 5, 40, 58, 10, "Star Knight", "Corrupt Priest"},   {3, 2, 22, 393, 0, "Total", ""},
    {3, 4, 0, 377, 0, "Tot Soldier", ""},                  {3, 5, 0, 57, 10, "Midnight Slave", "Fanatic"},
    {3, 4, 40, 379, 0, "Tot Flier", ""},                   {3, 5, 40, 59, 10, "Shadow Flier", "Witch"},
    {4, 2, 22, 393, 0, "Total", ""},                       {4, 4, 22, 374, 0, "Total Ooze", ""},
    {4, 5, 22, 54, 10, "Corrupt Ooze", "Corrupt Ooze"},    {5, 2, 22, 394, 0, "Total Lost", ""},
    {5, 4, 0, 373, 0, "Tot Crystal", ""},                  {5, 5, 0, 53, 10, "Crystallite", "Crystallite"},
    {5, 4, 40, 380, 0, "Tot General", ""},                 {5, 5, 40, 60, 10, "Hollow Seer", "Paladin"},
    {6, 2, 22, 394, 0, "Total Lost", ""},                  {6, 4, 0, 376, 0, "Tot Soldier", ""},
    {6, 5, 0, 56, 10, "Hollow Acolyte", "Healer"},         {6, 4, 40, 381, 0, "Tot Flier", ""},
    {6, 5, 40, 61, 10, "Mini-Crystal", "White Flier"},     {7, 2, 22, 394, 0, "Total Lost", ""},
    {7, 4, 22, 375, 0, "Tot Citizen", ""},                 {7, 5, 22, 55, 10, "Hollow Cultist", "Priest"},
    {8, 2, 22, 430, 0, "Total Razed", ""},                 {8, 4, 0, 412, 0, "Barracks", ""},
    {8, 5, 0, 396, 1, "Fallen Star", "Fallen Church"},     {8, 4, 40, 429, 0, "Airfield", ""},
    {8, 5, 40, 413, 1, "Shadow Breeder", "Witch's Coven"}, {9, 2, 22, 395, 0, "Total Recruits", ""},
    {9, 4, 0, 390, 0, "Tot General", ""},                  {9, 5, 0, 220, 10, "Hollow Seer", "Paladin"},
    {9, 4, 40, 386, 0, "Tot Soldier", ""},                 {9, 5, 40, 216, 10, "Hollow Acolyte", "Healer"},
    {10, 2, 22, 395, 0, "Total Recruits", ""},             {10, 4, 0, 391, 0, "Tot Flier", ""},
    {10, 5, 0, 221, 10, "Mini-Crystal", "White Flier"},    {10, 4, 40, 385, 0, "Max Census", ""},
    {10, 5, 40, 215, 10, "Hollow Cultist", "Priest"},
};

constexpr const char* page_titles[] = {
    "Overall Winners", "Resources",   "Unit Destruction",     "Unit Destruction",      "Unit Destruction",
    "Unit Losses",     "Unit Losses", "Unit Losses",          "Building Destruction",  "Recruits and Citizens",
    "Recruits and Citizens"};

TEST(RecordsScreen, EveryRowOfEveryPageAtItsColumns) {
    Game g;
    test::ScriptedTerminal t;
    g.terminal = &t;
    for (int i = 0; i < counter_count; ++i) {
        g.record_statistics.counters[i] = 1000 + static_cast<std::uint32_t>(i);
        std::strcpy(g.record_statistics.holders[i].data(), ("H" + std::to_string(i)).c_str());
    }
    g.current_statistics.counters[447] = 4294967295u;  // beaten: the game's value shows
    g.record_statistics.counters[434] = 0;              // a megaboss that never fell keeps the plain label
    t.type(std::vector<int>(record_page_count, ' '));
    show_records(g);
    ASSERT_EQ(t.frames(), 11u);
    const auto row = [&](int page, int r) { return t.frame_text(page).substr(81 * r, 80); };
    for (int p = 0; p < 11; ++p) {
        EXPECT_EQ(row(p, 0).find(page_titles[p]), 39 - (std::strlen(page_titles[p]) - 1) / 2) << page_titles[p];
    }
    // The label, the value ending in column 20, the holder ending in column 36; both values 0
    // show "---". The middle factions' labels are spot-checked below.
    const auto shown = [](std::string label, const std::string& value, const std::string& holder) {
        label.resize(40, ' ');
        label.replace(21 - value.size(), value.size(), value);
        return label.replace(37 - holder.size(), holder.size() + 3, holder + "   ");
    };
    for (const ShownRow& s : shown_rows) {
        for (int f = 0; f < (s.step == 0 ? 1 : 16); ++f) {
            const int counter = s.counter + s.step * f;
            const std::string text = row(s.page, s.row + f).substr(s.column, 40);
            const std::string label = f == 0 ? s.first_label : f == 15 ? s.last_label : text.substr(0, 17);
            const std::string value = counter == 447 ? "4294967295" : std::to_string(1000 + counter);
            const std::string holder = "H" + std::to_string(counter);
            EXPECT_EQ(text, counter == 434 ? shown("Sectors", "0", "---") : shown(label, value, holder))
                << "page " << s.page << " row " << s.row + f;
        }
    }
    EXPECT_EQ(row(0, 11).substr(0, 21), "Rocket Dreadnough1438");  // a long label loses its end
}

}  // namespace
}  // namespace qm
