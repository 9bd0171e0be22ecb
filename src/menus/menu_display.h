// The building menus, drawn over the map view while one is open: a 3 x 3 grid of boxes laid
// out like the eight interaction keys around the player, on the half of the screen away from
// the player.
#pragma once

#include "world/game.h"

namespace qm {

// The menu selected by open_menu; nothing for -1 or any unknown value. Counts down the flash
// timers of the boxes it draws.
void draw_menu(Game& game);

// One 5 x 5 box of the grid at (dx, dy), each -1..1. Corner factions are -1 for no marker,
// the key letter 0 for none. The border takes the pen as the caller left it, unless the box's
// flash timer is running.
void draw_box(Game& game, int dx, int dy, int glyph, int glyph_fg, int glyph_bg, int glyph_bright,
              int top_left, int top_right, int bottom_left, int bottom_right, int key_letter);

// Whether the node menu has a node to read: its index inside the building list and that
// building of a faction with an ooze store. Removals keep the index on its node and close the
// menu when the node goes, so this holds while the menu is open; should it ever fail, the
// display and the key handler both close the menu, whichever meets it first.
bool menu_node_valid(const Game& game);

}  // namespace qm
