// The sixteen factions: names, colours and the names of their hostile buildings.
#pragma once

#include <array>
#include <string_view>

#include "console/screen_buffer.h"

namespace qm {

struct Game;

constexpr int faction_count = 16;

struct FactionName {
    std::string_view group;
    std::string_view sub;  // empty for factions without a second line
};

constexpr std::array<FactionName, faction_count> faction_names{{
    {"The Hollow Seers", ""},
    {"Knights of the Machine", "Slice Mechanics"},
    {"The Assassins", ""},
    {"Knights of the Machine", "Rush Mechanics"},
    {"The Lords of Fire", ""},
    {"The Void Walkers", ""},
    {"The Gnomes", ""},
    {"Knights of the Machine", "Light Division"},
    {"Knights of the Machine", "Armored Division"},
    {"Knights of the Machine", "Crush Mechanics"},
    {"The Grid Elves", ""},
    {"Knights of the Machine", "Hyper Mechanics"},
    {"The Mind Benders", ""},
    {"The Chemists", ""},
    {"The Pulse Engineers", ""},
    {"The Church of the Conglomeration", ""},
}};

constexpr std::array<std::string_view, faction_count> barracks_names{{
    "Fallen Star", "Snake Pit", "Dragon Den", "Rush Metalworks", "Demon Temple", "Plague Camp",
    "Kobold Cave", "Rocket Metalworks", "Heavy Metalworks", "Blade Metalworks", "Mutant Lair",
    "Hyper Metalworks", "Sand Castle", "Graveyard", "Grid Anomaly", "Fallen Church",
}};

constexpr std::array<std::string_view, faction_count> airfield_names{{
    "Shadow Breeder", "Serpent Hatchery", "Lizard Hatchery", "Rush Skyworks", "Imp Pit",
    "Locust Spawnhole", "Kobold Skyworks", "Rocket Skyworks", "Heavy Skyworks", "Blade Skyworks",
    "Mutant Cliffhome", "Cyborg Skyworks", "Sand Tower", "Bat Roost", "Electric Spire",
    "Witch's Coven",
}};

// Sets the pen to the faction's colour on the given background. Faction 0 throws a coin on
// every call and flickers between dark grey and black.
void faction_colour(Game& game, int faction, int background);

}  // namespace qm
