#include "menus/menu_display.h"

#include "menus/menu_actions.h"
#include "world/factions.h"

namespace qm {
namespace {

// A purchase box of the node menu as the player sees it: its key letter, its place in the grid
// and its glyph. It is shown as affordable when the store holds the purchase's price.
struct PurchaseBox {
    int letter;
    int dx, dy;
    int glyph;
};

// In the order the boxes are drawn: q, w, e, a, d, z, c.
constexpr std::array<PurchaseBox, 7> purchase_boxes{{
    {'Q', -1, -1, 15},
    {'W', 0, -1, 227},
    {'E', 1, -1, 143},
    {'A', -1, 0, 230},
    {'D', 1, 0, 156},
    {'Z', -1, 1, 228},
    {'C', 1, 1, 24},
}};

constexpr int glyph_close = 196;
constexpr int glyph_corner_marker = 254;
constexpr int glyph_hint_source = 15;
constexpr int glyph_hint_barrier = 234;

constexpr int menu_node = 0;
constexpr int menu_inactive_hint = 1;
constexpr int menu_key_hint = 2;

constexpr int box_size = 5;
constexpr int box_pitch = 6;
// The grid sits at the right edge while the player stands in the left half, else at the left.
constexpr int right_grid_offset = 60;
constexpr int half_screen = 40;

// Flash timers count down from 23: 8 frames light grey, 8 brown, 7 red.
constexpr int flash_grey_from = 16;
constexpr int flash_brown_from = 8;

constexpr int no_marker = -1;

void frame_pen(Game& game) { set_colour(game.screen, 7, 0, 1); }

void put_at(Game& game, int row, int column, int glyph) {
    set_cursor(game.screen, row, column);
    put_glyph(game.screen, glyph);
}

int grid_offset(const Game& game) {
    if (game.units.empty()) return 0;
    return game.units[0]->x - game.view_x < half_screen ? right_grid_offset : 0;
}

void draw_close_box(Game& game) {
    frame_pen(game);
    draw_box(game, 0, 1, glyph_close, 7, 0, 1, no_marker, no_marker, no_marker, no_marker, 'X');
}

void draw_hint_menu(Game& game, int glyph, const Cell& look) {
    frame_pen(game);
    draw_box(game, 0, -1, glyph, look.fg, look.bg, look.bright, no_marker, no_marker, no_marker,
             no_marker, 0);
    draw_close_box(game);
}

void draw_node_menu(Game& game) {
    // Nothing to read: the menu closes here, as a key would close it, so the player is not
    // left unable to move behind a menu that is not shown.
    if (!menu_node_valid(game)) {
        game.open_menu = -1;
        return;
    }
    const Building& node = *game.buildings[static_cast<std::size_t>(game.menu_building)];
    const int f = node.faction;
    const std::int32_t store = game.ooze_store[static_cast<std::size_t>(f)];
    const LinkedFactions links = linked_node_factions(game, node);

    for (const PurchaseBox& box : purchase_boxes) {
        if (store < node_menu_boxes[menu_box_index(box.dx, box.dy)].price) {
            set_colour(game.screen, 0, 0, 1);
            draw_box(game, box.dx, box.dy, box.glyph, 0, 0, 1, no_marker, no_marker, no_marker,
                     no_marker, 0);
            continue;
        }
        // The faction's pen is taken before the frame pen, so a faction-0 node throws its
        // colour coin here, once per affordable box.
        faction_colour(game, f, 0);
        const Pen glyph_pen = game.screen.pen;
        frame_pen(game);
        draw_box(game, box.dx, box.dy, box.glyph, glyph_pen.fg, 0, glyph_pen.bright, links[0],
                 links[1], links[2], links[3], box.letter);
    }
    draw_close_box(game);
}

}  // namespace

bool menu_node_valid(const Game& game) {
    if (game.menu_building < 0 || static_cast<std::size_t>(game.menu_building) >= game.buildings.size()) return false;
    const int f = game.buildings[static_cast<std::size_t>(game.menu_building)]->faction;
    return f >= 0 && f < faction_count;
}

void draw_box(Game& game, int dx, int dy, int glyph, int glyph_fg, int glyph_bg, int glyph_bright,
              int top_left, int top_right, int bottom_left, int bottom_right, int key_letter) {
    if (dx < -1 || dx > 1 || dy < -1 || dy > 1) return;
    const int top = box_pitch * dy + box_pitch;
    const int left = grid_offset(game) + box_pitch * dx + box_pitch;
    const int last = box_size - 1;

    std::int32_t& flash = game.menu_flash[static_cast<std::size_t>(menu_box_index(dx, dy))];
    if (flash > 0) {
        game.screen.pen.bg = flash >= flash_grey_from ? 7 : flash >= flash_brown_from ? 6 : 4;
        --flash;
    }

    put_at(game, top, left, 218);
    put_at(game, top + last, left + last, 217);
    put_at(game, top + last, left, 192);
    put_at(game, top, left + last, 191);
    for (int i = 1; i < last; ++i) {
        put_at(game, top + i, left, 179);
        put_at(game, top + i, left + last, 179);
        put_at(game, top, left + i, 196);
        put_at(game, top + last, left + i, 196);
        for (int j = 1; j < last; ++j) put_at(game, top + i, left + j, ' ');
    }

    const std::array<int, 4> markers{top_left, top_right, bottom_left, bottom_right};
    const std::array<std::array<int, 2>, 4> corners{{{0, 0}, {0, last}, {last, 0}, {last, last}}};
    for (std::size_t c = 0; c < markers.size(); ++c) {
        if (markers[c] == no_marker) continue;
        faction_colour(game, markers[c], 0);
        put_at(game, top + corners[c][0], left + corners[c][1], glyph_corner_marker);
    }

    if (key_letter != 0) {
        frame_pen(game);
        put_at(game, top + last, left + 2, key_letter);
    }

    set_colour(game.screen, glyph_fg, glyph_bg, glyph_bright);
    put_at(game, top + 2, left + 2, glyph);
}

void draw_menu(Game& game) {
    switch (game.open_menu) {
    case menu_node: draw_node_menu(game); return;
    case menu_inactive_hint: draw_hint_menu(game, glyph_hint_source, source_cell); return;
    case menu_key_hint: draw_hint_menu(game, glyph_hint_barrier, Cell{glyph_barrier, 0, 7, 0}); return;
    default: return;
    }
}

}  // namespace qm
