// The three kinds of record the world is made of. Plain structs of signed 32-bit fields with
// the fresh values their initialisers give.
#pragma once

#include <array>
#include <cstdint>

namespace qm {

enum UnitKind : std::int32_t {
    unit_player = 0,
    unit_ooze = 1,
    unit_citizen = 2,
    unit_own_soldier = 3,
    unit_enemy_soldier = 4,
    unit_enemy_general = 5,
    unit_enemy_flier = 6,
    unit_own_general = 7,
    unit_own_flier = 8,
    unit_boss = 9,
};

enum BuildingKind : std::int32_t {
    building_none = -1,  // an empty carry slot
    building_node = 0,
    building_corrupted_node = 1,
    building_tower = 2,
    building_key = 3,
    building_barracks = 4,
    building_airfield = 5,
    building_barricade = 6,
};

enum EffectKind : std::int32_t {
    effect_ooze_drop = 0,
    effect_bolt = 1,
    effect_tower_bolt = 2,
    effect_hostile_shot = 3,
    effect_fire = 4,
    effect_friendly_shot = 5,
    effect_acid_cloud = 6,
    effect_poison_cloud = 7,
};

constexpr std::uint32_t building_visited = 1u << 0;
constexpr std::uint32_t unit_megaboss = 1u << 0;
constexpr std::uint32_t unit_swift = 1u << 1;

struct Building {
    std::int32_t kind = building_none;
    std::int32_t faction = 0;
    std::array<std::int32_t, 4> links{-1, -1, -1, -1};
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t phase = 0;
    std::int32_t flags = 0;
    std::int32_t hit_points = 10;
    // Kept by the world index: the creation serial that orders the list, and the record's
    // entry there. Neither is anything the game plays with.
    std::uint64_t serial = 0;
    std::int32_t index_entry = -1;

    bool empty() const { return kind == building_none; }
};

struct Unit {
    std::int32_t kind;
    std::int32_t faction = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t phase = 0;
    std::int32_t hit_points = 1;
    std::int32_t max_hit_points = 1;
    std::array<Building, 8> carry_slots{};
    std::int32_t ammo = 10;
    std::int32_t fuel = 1000;
    std::int32_t haste = 0;
    std::int32_t poison = 0;
    std::int32_t confusion = 0;
    std::int32_t slow = 0;
    std::int8_t health_level = 0;
    std::int8_t weapon_level = 0;
    std::array<std::int8_t, 16> skill_levels{};
    std::int32_t affinity = -1;
    std::array<std::int32_t, 4> links{-1, -1, -1, -1};
    std::uint32_t flags = 0;
    Building* target_building = nullptr;  // not owned; cleared when the building goes
    Unit* target_unit = nullptr;          // not owned; cleared when the unit goes
    std::uint64_t serial = 0;             // kept by the world index, as for buildings
    std::int32_t index_entry = -1;

    // A unit's kind is always its creator's choice: there is no kind a unit is by default.
    explicit Unit(std::int32_t kind) : kind(kind) {}
};

struct Effect {
    std::int32_t kind = -1;
    std::int32_t faction = 0;
    std::array<std::int32_t, 4> links{-1, -1, -1, -1};
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t frac_x = 0;
    std::int32_t frac_y = 0;
    std::int32_t vx = 0;
    std::int32_t vy = 0;
    std::int32_t life = 0;
    std::int32_t generation = 0;
    std::uint8_t first_step = 1;
};

constexpr bool is_hostile_unit_kind(int kind) {
    return kind == unit_ooze || kind == unit_enemy_soldier || kind == unit_enemy_general ||
           kind == unit_enemy_flier || kind == unit_boss;
}
constexpr bool is_cloud_kind(int kind) { return kind == effect_acid_cloud || kind == effect_poison_cloud; }
constexpr bool is_flier_kind(int kind) { return kind == unit_enemy_flier || kind == unit_own_flier; }
constexpr bool is_hostile_building_kind(int kind) {
    return kind == building_corrupted_node || kind == building_barracks || kind == building_airfield;
}

}  // namespace qm
