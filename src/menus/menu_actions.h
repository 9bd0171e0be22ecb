// What the eight interaction keys do while a building menu is open: the node menu's purchases
// paid from the node faction's ooze store, and 'x', which closes any menu.
#pragma once

#include <array>

#include "world/game.h"

namespace qm {

enum class Purchase { none, allegiance, tower, soldier, barricade, general, flier, promotion, close };

struct MenuBox {
    Purchase purchase;
    int price;
};

// The node menu's boxes, indexed as the flash timers are: 3 * (dx + 1) + (dy + 1).
constexpr std::array<MenuBox, 9> node_menu_boxes{{
    {Purchase::allegiance, 3},   // q (-1, -1)
    {Purchase::barricade, 1},    // a (-1, 0)
    {Purchase::flier, 50},       // z (-1, +1)
    {Purchase::tower, 10},       // w (0, -1)
    {Purchase::none, 0},         // the centre has no key
    {Purchase::close, 0},        // x (0, +1)
    {Purchase::soldier, 10},     // e (+1, -1)
    {Purchase::general, 30},     // d (+1, 0)
    {Purchase::promotion, 250},  // c (+1, +1)
}};

constexpr int menu_box_index(int dx, int dy) { return 3 * (dx + 1) + (dy + 1); }

// Each kind of tower, barricade, flier and fighter (soldiers and generals together) stops
// being sold at this many.
constexpr int purchase_limit = 500;
// A purchase lights its box for this many frames.
constexpr int menu_flash_frames = 23;

// Factions of the nodes linked to a node, in the order TL, TR, BL, BR; -1 where none stands.
using LinkedFactions = std::array<int, 4>;
// The nodes at (-2, -1), (+1, -2), (-1, +2) and (+2, +1) from the node; where two stand on one
// offset the later in the building list wins.
LinkedFactions linked_node_factions(const Game& game, const Building& node);

// One interaction key (dx, dy each -1..1) for the open menu. True when the player asked to
// quit, which only the promotion screen can ask for. A node menu without a node to read
// (menu_node_valid) closes and does nothing else.
bool menu_key(Game& game, int dx, int dy);

}  // namespace qm
