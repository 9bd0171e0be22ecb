// The statistics counters: where each lives in the block, and one call per event that bumps
// them. Counters stop at their largest value instead of wrapping round to 0, which would lose
// a record.
#pragma once

#include <cstdint>

#include "records/statistics_block.h"
#include "world/game.h"

namespace qm {

// Counter indexes; f is a faction 0..15, k a unit kind 0..9.
constexpr int stat_leadership_levels = 0;    // [f]
constexpr int stat_health_level = 16;
constexpr int stat_weapon_level = 17;
constexpr int stat_experience = 18;
constexpr int stat_gathered = 19;            // [f]
constexpr int stat_spent = 35;               // [f]
constexpr int stat_total_gathered = 51;
constexpr int stat_total_spent = 52;
constexpr int stat_deaths = 53;              // [f][k] at 53 + 10 f + k
constexpr int stat_recruits = 213;           // [f][k]; the citizen column holds census maxima
constexpr int stat_deaths_by_kind = 373;     // [k]
constexpr int stat_recruits_by_kind = 383;   // [k]; the citizen entry holds the census maximum
constexpr int stat_total_destroyed = 393;
constexpr int stat_total_lost = 394;
constexpr int stat_total_recruits = 395;
constexpr int stat_barracks_razed = 396;     // [f]
constexpr int stat_barracks_razed_total = 412;
constexpr int stat_airfields_razed = 413;    // [f]
constexpr int stat_airfields_razed_total = 429;
constexpr int stat_total_razed = 430;
constexpr int stat_megaboss_kills = 431;     // [f]
constexpr int stat_sectors_cleared = 447;

constexpr int deaths_index(int faction, int kind) { return stat_deaths + 10 * faction + kind; }
constexpr int recruits_index(int faction, int kind) { return stat_recruits + 10 * faction + kind; }

// Adds to a counter, stopping at the largest unsigned 32-bit value.
void bump(StatisticsBlock& block, int index, std::uint32_t amount = 1);
// Raises a counter to value when value is larger.
void raise_to(StatisticsBlock& block, int index, std::uint32_t value);

void record_death(Game& game, int faction, int kind);
void record_recruit(Game& game, int faction, int kind);
// Takes price from the node faction's store and counts it as spent.
void record_purchase(Game& game, int faction, int price);
// One ooze drop of this faction collected.
void record_gathered(Game& game, int faction);
// A destroyed building of kind 4 or 5 counts; any other kind changes nothing.
void record_razing(Game& game, int kind, int faction);
// Copies the player unit's levels and their sum after a promotion.
void record_promotion(Game& game, const Unit& player);
void record_megaboss_defeat(Game& game, int megaboss_type);
// Citizens per faction and in all this frame, raised into the census maxima.
void record_census(Game& game, const std::int32_t (&per_faction)[16], std::int32_t total);

// Every record counter raised to the current one where that is larger.
void record_best_values(const StatisticsBlock& current, StatisticsBlock& record);
// Whether any current counter is strictly greater than its record.
bool any_record_beaten(const StatisticsBlock& current, const StatisticsBlock& record);

}  // namespace qm
