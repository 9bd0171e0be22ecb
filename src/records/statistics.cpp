#include "records/statistics.h"

#include <limits>

namespace qm {

void bump(StatisticsBlock& block, int index, std::uint32_t amount) {
    std::uint32_t& c = block.counters[index];
    const std::uint32_t room = std::numeric_limits<std::uint32_t>::max() - c;
    c = amount > room ? std::numeric_limits<std::uint32_t>::max() : c + amount;
}

void raise_to(StatisticsBlock& block, int index, std::uint32_t value) {
    if (value > block.counters[index]) block.counters[index] = value;
}

void record_death(Game& game, int faction, int kind) {
    StatisticsBlock& s = game.current_statistics;
    bump(s, deaths_index(faction, kind));
    bump(s, stat_deaths_by_kind + kind);
    bump(s, is_hostile_unit_kind(kind) ? stat_total_destroyed : stat_total_lost);
}

void record_recruit(Game& game, int faction, int kind) {
    StatisticsBlock& s = game.current_statistics;
    bump(s, recruits_index(faction, kind));
    bump(s, stat_recruits_by_kind + kind);
    bump(s, stat_total_recruits);
}

void record_purchase(Game& game, int faction, int price) {
    game.ooze_store[faction] -= price;
    bump(game.current_statistics, stat_spent + faction, static_cast<std::uint32_t>(price));
    bump(game.current_statistics, stat_total_spent, static_cast<std::uint32_t>(price));
}

void record_gathered(Game& game, int faction) {
    ++game.ooze_store[faction];
    ++game.cycle_ooze[faction];
    bump(game.current_statistics, stat_gathered + faction);
    bump(game.current_statistics, stat_total_gathered);
}

void record_razing(Game& game, int kind, int faction) {
    StatisticsBlock& s = game.current_statistics;
    if (kind == building_barracks) {
        bump(s, stat_barracks_razed + faction);
        bump(s, stat_barracks_razed_total);
    } else if (kind == building_airfield) {
        bump(s, stat_airfields_razed + faction);
        bump(s, stat_airfields_razed_total);
    } else {
        return;
    }
    bump(s, stat_total_razed);
}

void record_promotion(Game& game, const Unit& player) {
    StatisticsBlock& s = game.current_statistics;
    std::uint32_t sum = 0;
    for (int f = 0; f < 16; ++f) {
        s.counters[stat_leadership_levels + f] = static_cast<std::uint32_t>(player.skill_levels[f]);
        sum += static_cast<std::uint32_t>(player.skill_levels[f]);
    }
    s.counters[stat_health_level] = static_cast<std::uint32_t>(player.health_level);
    s.counters[stat_weapon_level] = static_cast<std::uint32_t>(player.weapon_level);
    sum += static_cast<std::uint32_t>(player.health_level) + static_cast<std::uint32_t>(player.weapon_level);
    s.counters[stat_experience] = sum;
}

void record_megaboss_defeat(Game& game, int megaboss_type) {
    bump(game.current_statistics, stat_sectors_cleared);
    bump(game.current_statistics, stat_megaboss_kills + megaboss_type);
}

void record_census(Game& game, const std::int32_t (&per_faction)[16], std::int32_t total) {
    for (int f = 0; f < 16; ++f) {
        raise_to(game.current_statistics, recruits_index(f, unit_citizen), static_cast<std::uint32_t>(per_faction[f]));
    }
    raise_to(game.current_statistics, stat_recruits_by_kind + unit_citizen, static_cast<std::uint32_t>(total));
}

void record_best_values(const StatisticsBlock& current, StatisticsBlock& record) {
    for (int i = 0; i < counter_count; ++i) {
        if (current.counters[i] > record.counters[i]) record.counters[i] = current.counters[i];
    }
}

bool any_record_beaten(const StatisticsBlock& current, const StatisticsBlock& record) {
    for (int i = 0; i < counter_count; ++i) {
        if (current.counters[i] > record.counters[i]) return true;
    }
    return false;
}

}  // namespace qm
