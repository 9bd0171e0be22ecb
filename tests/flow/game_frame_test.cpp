#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "console/startup.h"
#include "flow/game_frame.h"
#include "flow/sector_assignment.h"
#include "records/statistics.h"
#include "support/scripted_terminal.h"
#include "world/lists.h"

namespace qm {
namespace {

struct FrameGame {
    std::unique_ptr<Game> game = std::make_unique<Game>();
    test::ScriptedTerminal terminal;
    FrameGame() {
        Game& g = *game;
        g.terminal = &terminal;
        g.seed = 31337;
        g.score_directory = testing::TempDir();
        terminal.idle_frames_before_escape = 1000;
        terminal.set_realtime_input(true);
        reset_game_state(g);
        g.player_faction = 3;
        start_new_game(g);
    }
    // One frame with this key (0 for none); true when it quit.
    bool frame(int key = key_none) {
        if (key != key_none) terminal.type({key});
        return game_frame(*game);
    }
    void remove_kind(int kind) {
        for (std::size_t i = game->units.size(); i-- > 1;) {
            if (game->units[i]->kind == kind) remove_unit(*game, i);
        }
    }
};

bool shows(const std::string& frame, const std::string& text) { return frame.find(text) != std::string::npos; }

TEST(GameFrame, KeysCooldownAndTheOpenMenu) {
    FrameGame f;
    Game& g = *f.game;
    const int ammo = g.units[0]->ammo;
    EXPECT_FALSE(f.frame());
    EXPECT_EQ(g.units[0]->ammo, ammo - 1);  // lowered with no key
    EXPECT_EQ(g.frame_counter, 1);

    EXPECT_FALSE(f.frame('6'));
    EXPECT_EQ(g.units[0]->x, 201);

    // With the node menu open the movement keys do nothing and 'a' buys a barricade.
    g.open_menu = 0;
    g.menu_building = 0;
    g.ooze_store[3] = 1;
    EXPECT_FALSE(f.frame('4'));
    EXPECT_EQ(g.units[0]->x, 201);
    const std::size_t buildings = g.buildings.size();
    EXPECT_FALSE(f.frame('A'));
    EXPECT_EQ(g.ooze_store[3], 0);
    EXPECT_EQ(g.buildings.size(), buildings + 1);
    EXPECT_EQ(g.buildings.back()->kind, building_barricade);
    EXPECT_EQ(g.menu_flash[1], 23);
    EXPECT_FALSE(f.frame('x'));
    EXPECT_EQ(g.open_menu, -1);

    // The weapon cools by one before the status screen and before ESC; the world goes on
    // after the status screen, while a frame that quits is not counted.
    g.units[0]->ammo = 3;
    const std::size_t presented = f.terminal.frames();
    f.terminal.type({'s', 'h'});
    EXPECT_FALSE(f.frame());
    EXPECT_EQ(f.terminal.frames(), presented + 2);
    EXPECT_EQ(g.units[0]->ammo, 2);
    EXPECT_EQ(g.frame_counter, 6);
    f.terminal.type({'s', key_escape});
    EXPECT_TRUE(f.frame());
    EXPECT_EQ(g.units[0]->ammo, 1);
    EXPECT_TRUE(f.frame(key_escape));
    EXPECT_EQ(g.units[0]->ammo, 0);
    EXPECT_EQ(g.frame_counter, 6);
}

TEST(GameFrame, SweepTriggerAndMegabossCountdown) {
    {
        // Stage 1 with a corrupted node standing: 49 ooze start nothing, 50 start the sweep.
        FrameGame f;
        Game& g = *f.game;
        g.cycle_ooze[5] = 49;
        f.frame();
        EXPECT_EQ(g.sweep_column, -1);
        g.cycle_ooze[9] = 1;
        f.frame();
        EXPECT_EQ(g.sweep_column, g.open_min_x);
    }
    {
        // No hostile building left: the sweep starts with no ooze at all.
        FrameGame f;
        Game& g = *f.game;
        remove_building(g, 1);
        f.frame();
        EXPECT_EQ(g.sweep_column, g.open_min_x);
    }
    {
        // Every sector open and a hostile building standing: the countdown waits for 50,000.
        FrameGame f;
        Game& g = *f.game;
        g.more_sectors = 0;
        g.cycle_ooze[0] = 49999;
        f.frame();
        EXPECT_EQ(g.wave_countdown, -1);
        EXPECT_EQ(g.sweep_column, -1);
        g.cycle_ooze[1] = 1;
        f.frame();
        EXPECT_EQ(g.wave_countdown, 2000);
        f.frame();
        EXPECT_EQ(g.wave_countdown, 1999);
        g.cycle_ooze[1] = 0;
        f.frame();
        EXPECT_EQ(g.wave_countdown, 1999);  // paused
    }
}

TEST(GameFrame, MegabossGoneAndLastCitizenLost) {
    {
        // The megaboss gone: the victory screen, then the next cycle, with no census taken
        // and no frame counted.
        FrameGame f;
        Game& g = *f.game;
        g.wave_countdown = -2;
        g.frame_counter = 40;
        f.terminal.type({key_none, 'h'});  // nothing for the frame, 'h' for the screen
        EXPECT_FALSE(f.frame());
        EXPECT_TRUE(shows(f.terminal.last_frame(), "YOU HAVE DEFEATED THE MEGABOSS."));
        EXPECT_EQ(g.wave_countdown, -1);
        EXPECT_EQ(g.megabosses_defeated, 1);
        EXPECT_EQ(g.frame_counter, 0);
        EXPECT_EQ(g.current_statistics.counters[recruits_index(3, unit_citizen)], 0u);
        EXPECT_FALSE(f.frame());
        EXPECT_EQ(g.current_statistics.counters[recruits_index(3, unit_citizen)], 2u);
    }
    {
        // The census raises the maxima; with no citizen left the defeat runs in that frame.
        FrameGame f;
        Game& g = *f.game;
        EXPECT_FALSE(f.frame());
        EXPECT_EQ(g.current_statistics.counters[stat_recruits_by_kind + unit_citizen], 2u);
        f.remove_kind(unit_citizen);
        f.terminal.type({key_none, key_escape});
        EXPECT_TRUE(f.frame());  // ESC on the defeat notice
        EXPECT_TRUE(shows(f.terminal.last_frame(), "The citizens under your charge have all been slain."));
        EXPECT_EQ(g.frame_counter, 1);
    }
}

}  // namespace
}  // namespace qm
