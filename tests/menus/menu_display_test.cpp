#include <gtest/gtest.h>

#include "menus/menu_display.h"
#include "support/scripted_terminal.h"
#include "world/lists.h"

namespace qm {
namespace {

// A node of faction 2 at (200, 60) with its menu open, the player beside it in the left half.
struct Menu {
    Game g;
    test::ScriptedTerminal terminal;

    Menu() {
        g.terminal = &terminal;
        g.seed = 5;
        append_unit(g, Unit{.kind = unit_player, .x = 199, .y = 61});
        node(2, 200, 60);
        g.open_menu = 0;
        g.menu_building = 0;
    }
    void node(int faction, int x, int y, int kind = building_node) {
        append_building(g, Building{.kind = kind, .faction = faction, .x = x, .y = y});
    }
    const Cell& at(int column, int row) const { return g.screen.at(column, row); }
    void draw() {
        clear_screen(g.screen);
        draw_menu(g);
    }
};

// The five cells of a box's row as text.
std::string box_row(const Game& g, int row, int left) { return row_text(g.screen, row).substr(left, 5); }

TEST(MenuDisplay, SideAndAffordability) {
    Menu m;
    m.g.ooze_store[2] = 10;
    m.draw();  // the player in screen column 39
    // Box q at the top left of a grid at columns 60..76.
    EXPECT_EQ(box_row(m.g, 0, 60), "\xDA\xC4\xC4\xC4\xBF");
    EXPECT_EQ(box_row(m.g, 2, 60), "\xB3 \x0F \xB3");
    EXPECT_EQ(box_row(m.g, 4, 60), "\xC0\xC4Q\xC4\xD9");
    EXPECT_EQ(row_text(m.g.screen, 0).substr(0, 60), std::string(60, ' '));
    EXPECT_EQ(m.at(60, 0), (Cell{218, 7, 0, 1}));
    EXPECT_EQ(m.at(62, 2), (Cell{15, 2, 0, 0})) << "glyph in the node's faction colour";

    // 10 ooze: q, w, e and a lit with their letters; d, z and c dark grey without.
    const struct {
        int left, top, glyph, letter;
    } lit[] = {{60, 0, 15, 'Q'}, {66, 0, 227, 'W'}, {72, 0, 143, 'E'}, {60, 6, 230, 'A'}},
      dark[] = {{72, 6, 156, 0}, {60, 12, 228, 0}, {72, 12, 24, 0}};
    for (const auto& b : lit) {
        EXPECT_EQ(m.at(b.left + 2, b.top + 2), (Cell{static_cast<std::uint8_t>(b.glyph), 2, 0, 0}));
        EXPECT_EQ(m.at(b.left + 2, b.top + 4), (Cell{static_cast<std::uint8_t>(b.letter), 7, 0, 1}));
    }
    for (const auto& b : dark) {
        EXPECT_EQ(m.at(b.left + 2, b.top + 2), (Cell{static_cast<std::uint8_t>(b.glyph), 0, 0, 1}));
        EXPECT_EQ(m.at(b.left + 2, b.top + 4), (Cell{196, 0, 0, 1}));
        EXPECT_EQ(m.at(b.left, b.top), (Cell{218, 0, 0, 1}));
    }
    // The close box is always shown; the centre stays empty.
    EXPECT_EQ(box_row(m.g, 16, 66), "\xC0\xC4X\xC4\xD9");
    EXPECT_EQ(m.at(68, 14), (Cell{196, 7, 0, 1}));
    EXPECT_EQ(box_row(m.g, 8, 66), "     ");

    m.g.ooze_store[2] = 9;
    m.draw();
    EXPECT_EQ(m.at(68, 4).glyph, 196) << "w needs 10";
    EXPECT_EQ(m.at(62, 10).glyph, 'A');
    m.g.ooze_store[2] = 250;
    m.draw();
    EXPECT_EQ(m.at(74, 16).glyph, 'C');

    // Player in column 40: the grid moves to the left edge.
    m.g.units[0]->x = 160 + 40;
    m.draw();
    EXPECT_EQ(box_row(m.g, 0, 0), "\xDA\xC4\xC4\xC4\xBF");
    EXPECT_EQ(box_row(m.g, 16, 6), "\xC0\xC4X\xC4\xD9");
    EXPECT_EQ(m.at(16, 16).glyph, 217);
    EXPECT_EQ(m.at(60, 0).glyph, ' ');
}

TEST(MenuDisplay, LinkedNodeCorners) {
    Menu m;
    m.g.ooze_store[2] = 10;
    m.draw();
    EXPECT_EQ(m.at(60, 0).glyph, 218) << "no linked nodes, no markers";

    m.node(9, 198, 59);                  // TL
    m.node(12, 201, 58);                 // TR
    m.node(3, 199, 62);                  // BL, overridden by the next
    m.node(5, 199, 62);                  // BL
    m.node(4, 202, 61, building_tower);  // BR spot, but not a node
    m.draw();
    EXPECT_EQ(m.at(60, 0), (Cell{254, 1, 0, 1}));
    EXPECT_EQ(m.at(64, 0), (Cell{254, 4, 0, 1}));
    EXPECT_EQ(m.at(60, 4), (Cell{254, 5, 0, 0}));
    EXPECT_EQ(m.at(64, 4), (Cell{217, 7, 0, 1}));
    // Greyed boxes carry no markers.
    EXPECT_EQ(m.at(72, 6).glyph, 218);
    EXPECT_EQ(m.at(66, 12), (Cell{218, 7, 0, 1})) << "close box: none either";
}

TEST(MenuDisplay, HintMenusAndUnknownMenus) {
    Menu m;
    m.g.open_menu = 1;
    m.draw();
    EXPECT_EQ(m.at(68, 2), (Cell{15, 1, 1, 1}));
    EXPECT_EQ(box_row(m.g, 4, 66), "\xC0\xC4\xC4\xC4\xD9");
    EXPECT_EQ(box_row(m.g, 16, 66), "\xC0\xC4X\xC4\xD9");
    EXPECT_EQ(box_row(m.g, 0, 60), "     ") << "nothing but the hint and the close box";

    m.g.open_menu = 2;
    m.draw();
    EXPECT_EQ(m.at(68, 2), (Cell{234, 0, 7, 0}));
    EXPECT_EQ(m.at(68, 16).glyph, 'X');

    for (int menu : {-1, 3}) {
        m.g.open_menu = menu;
        m.draw();
        EXPECT_EQ(screen_text(m.g.screen), screen_text(ScreenBuffer{}));
    }
}

TEST(MenuDisplay, FlashTimersCountDown) {
    Menu m;
    m.g.ooze_store[2] = 100;
    m.g.menu_flash[3 * 0 + 0] = 23;  // q
    m.g.menu_flash[3 * 2 + 2] = 23;  // c: unaffordable, still flashes
    std::string seen;
    for (int frame = 0; frame < 24; ++frame) {
        m.draw();
        seen += static_cast<char>('0' + m.at(60, 0).bg);
        EXPECT_EQ(m.at(61, 1).bg, m.at(60, 0).bg) << "the inside flashes with the border";
        EXPECT_EQ(m.at(73, 13).bg, m.at(60, 0).bg);
        EXPECT_EQ(m.at(62, 4).bg, 0) << "the letter keeps its pen";
    }
    EXPECT_EQ(seen, "777777776666666644444440");
    EXPECT_EQ(m.g.menu_flash[0], 0);
    EXPECT_EQ(m.g.menu_flash[8], 0);
    EXPECT_EQ(m.g.menu_flash[4], 0);
}

TEST(MenuDisplay, NodeIndexPastTheEndAndFactionZeroCoins) {
    // No node to read at the index, or one without an ooze store: the menu is not drawn and
    // closes, as the key handler would close it, so the movement keys work again.
    Menu m;
    m.g.ooze_store[2] = 250;
    for (int index : {1, -1, 0}) {
        m.g.menu_building = index;
        m.g.buildings[0]->faction = index == 0 ? 16 : 2;
        m.g.open_menu = 0;
        EXPECT_FALSE(menu_node_valid(m.g)) << index;
        m.draw();
        EXPECT_EQ(screen_text(m.g.screen), screen_text(ScreenBuffer{})) << index;
        EXPECT_EQ(m.g.open_menu, -1) << index;
    }
    m.g.buildings[0]->faction = 2;
    m.g.open_menu = 0;
    EXPECT_TRUE(menu_node_valid(m.g));

    // A faction-0 node: one colour coin per lit box, then one per marker, in box order.
    m.g.buildings[0]->faction = 0;
    m.g.ooze_store[0] = 1;
    m.node(0, 198, 59);
    std::uint32_t s = m.g.seed;
    const int glyph_coin = random_below(s, 2);
    const int marker_coin = random_below(s, 2);
    m.draw();
    EXPECT_EQ(m.g.seed, s) << "only a is lit: two coins";
    EXPECT_EQ(m.at(62, 8).bright, glyph_coin != 0 ? 1 : 0);
    EXPECT_EQ(m.at(60, 6).bright, marker_coin != 0 ? 1 : 0);
    EXPECT_EQ(m.at(60, 0).glyph, 218);
}

}  // namespace
}  // namespace qm
