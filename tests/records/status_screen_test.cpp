#include <gtest/gtest.h>

#include <functional>

#include "records/statistics.h"
#include "records/status_screen.h"
#include "support/scripted_terminal.h"
#include "world/lists.h"

namespace qm {
namespace {

struct StatusGame {
    Game game;
    test::ScriptedTerminal terminal;
    Unit* player = nullptr;
    explicit StatusGame(std::uint32_t seed = 5) {
        game.terminal = &terminal;
        game.seed = seed;
        Unit p;
        p.kind = unit_player;
        p.hit_points = 4;
        p.max_hit_points = 10;
        player = &append_unit(game, p);
    }
    const Cell& cell(int row, int column) const { return game.screen.at(column, row); }
};

TEST(StatusScreen, OozeBarHeights) {
    StatusGame s;
    const std::array<int, 16> stores{0, 9, 10, 240, 250, 19, 20, 5000, -5, -30, 1, 249, 0, 0, 0, 0};
    const std::array<int, 16> heights{0, 1, 2, 25, 25, 2, 3, 25, 1, 0, 1, 25, 0, 0, 0, 0};
    std::copy(stores.begin(), stores.end(), s.game.ooze_store.begin());
    std::uint32_t seed = s.game.seed;
    draw_status(s.game, levels_of(*s.player));
    ASSERT_EQ(s.terminal.frames(), 1u);
    for (int f = 0; f < 16; ++f) {
        SCOPED_TRACE(f);
        for (int row = 0; row < 25; ++row) {
            const Cell& c = s.cell(row, f);
            if (row < heights[f]) {
                ASSERT_EQ(c.glyph, 4) << row;
                ASSERT_EQ(c.fg, f % 8);
                ASSERT_EQ(c.bright, f >= 8 ? 1 : 0);
                // A store that can pay for a promotion sparkles under every glyph.
                if (stores[f] >= 250) {
                    ASSERT_EQ(c.bg, random_below(seed, 8)) << row;
                } else {
                    ASSERT_EQ(c.bg, 0);
                }
            } else {
                ASSERT_EQ(c, (Cell{250, 0, 0, 1})) << row;
            }
        }
    }
    EXPECT_EQ(s.game.seed, seed);

    // Faction 0 throws its coin after the background is drawn, cell by cell.
    StatusGame z;
    z.game.ooze_store[0] = 300;
    seed = z.game.seed;
    draw_status(z.game, levels_of(*z.player));
    for (int row = 0; row < 25; ++row) {
        const int bg = random_below(seed, 8);
        const int bright = random_below(seed, 2) != 0 ? 1 : 0;
        ASSERT_EQ(z.cell(row, 0), (Cell{4, 0, static_cast<std::uint8_t>(bg), static_cast<std::uint8_t>(bright)}));
    }
}

TEST(StatusScreen, AllegianceAndLevelsWithTheNewOnesFlashing) {
    StatusGame s;
    Unit& p = *s.player;
    p.affinity = 12;
    p.links = {3, -1, 9, -1};
    p.health_level = 3;
    p.weapon_level = 2;
    p.skill_levels[0] = 1;
    p.skill_levels[5] = 4;
    p.skill_levels[15] = 10;
    LevelBytes old = levels_of(p);
    old.health_level = 1;
    old.skill_levels[0] = 0;

    std::uint32_t seed = s.game.seed;
    const int health_2 = random_below(seed, 8);
    const int health_3 = random_below(seed, 8);
    const int skill_0_bg = random_below(seed, 8);
    const int skill_0_bright = random_below(seed, 2) != 0 ? 1 : 0;
    draw_status(s.game, old);
    EXPECT_EQ(s.game.seed, seed);

    const auto flash = [](int bg) { return static_cast<std::uint8_t>(bg); };
    EXPECT_EQ(s.cell(1, 18), (Cell{15, 4, 0, 1}));
    EXPECT_EQ(s.cell(0, 17), (Cell{254, 3, 0, 0}));
    EXPECT_EQ(s.cell(2, 17), (Cell{254, 1, 0, 1}));
    EXPECT_EQ(s.cell(0, 19).glyph, ' ');
    EXPECT_EQ(s.cell(4, 17), (Cell{4, 4, 0, 1}));
    EXPECT_EQ(s.cell(6, 17), (Cell{4, 4, flash(health_2), 1}));
    EXPECT_EQ(s.cell(8, 17), (Cell{4, 4, flash(health_3), 1}));
    EXPECT_EQ(s.cell(10, 17).glyph, ' ');
    EXPECT_EQ(s.cell(6, 19), (Cell{30, 6, 0, 1}));
    EXPECT_EQ(s.cell(8, 19).glyph, ' ');
    EXPECT_EQ(s.cell(4, 30), (Cell{157, 0, flash(skill_0_bg), flash(skill_0_bright)}));
    EXPECT_EQ(s.cell(10, 40), (Cell{157, 5, 0, 0}));
    EXPECT_EQ(s.cell(12, 40).glyph, ' ');
    EXPECT_EQ(s.cell(22, 60), (Cell{157, 7, 0, 1}));

    // No affinity: nothing in the allegiance cells, whatever the links say.
    p.affinity = -1;
    draw_status(s.game, old);
    EXPECT_EQ(s.cell(1, 18).glyph, ' ');
    EXPECT_EQ(s.cell(0, 17).glyph, ' ');
}

TEST(StatusScreen, StatusWaitsForAKeyWithNothingFlashing) {
    {
        StatusGame s;
        s.player->health_level = 2;
        s.terminal.idle_frames_before_escape = 2;
        const std::uint32_t start = s.terminal.clock;
        EXPECT_TRUE(show_status(s.game));
        EXPECT_EQ(s.terminal.frames(), 3u);
        EXPECT_EQ(s.terminal.clock, start + 20);
        EXPECT_EQ(s.terminal.last_screen().at(17, 6), (Cell{4, 4, 0, 1}));
    }
    {
        StatusGame s;
        s.terminal.type({'q'});
        EXPECT_FALSE(show_status(s.game));
        EXPECT_EQ(s.terminal.frames(), 1u);
    }
}

// Keeps every frame it is shown; no key for a number of reads, then ESC.
class RecordingTerminal final : public Terminal {
public:
    explicit RecordingTerminal(int idle_reads) : idle_reads_(idle_reads) {}
    std::vector<ScreenBuffer> screens;
    void present(const ScreenBuffer& screen) override { screens.push_back(screen); }
    int read_key() override { return idle_reads_-- > 0 ? key_none : key_escape; }
    std::uint32_t tick_ms() override { return clock_; }
    void wait_until(std::uint32_t tick) override { clock_ = tick; }
    void set_realtime_input(bool) override {}

private:
    int idle_reads_;
    std::uint32_t clock_ = 0;
};

// The first seed from which the draws a promotion makes satisfy the condition.
std::uint32_t seed_where(const std::function<bool(std::uint32_t&)>& draws_fit) {
    for (std::uint32_t seed = 1;; ++seed) {
        std::uint32_t s = seed;
        if (draws_fit(s)) return seed;
    }
}

// A promotion at a node of faction 6 with nothing linked: four link draws, then one choice.
std::uint32_t seed_with_choice(int low, int high) {
    return seed_where([&](std::uint32_t& s) {
        for (int i = 0; i < 4; ++i) random_below(s, 4);
        const int r = random_below(s, 8);
        return r >= low && r <= high;
    });
}

TEST(StatusScreen, PromotionChoicesAndCaps) {
    struct Case {
        int low, high;                // the choice drawn
        int health, weapon, skill;    // before
        int health_after, weapon_after, skill_after;
    };
    const Case cases[] = {
        {0, 0, 3, 0, 0, 4, 0, 0},
        {0, 0, 10, 4, 0, 10, 5, 0},
        {0, 0, 10, 10, 4, 10, 10, 5},
        {0, 0, 10, 10, 5, 10, 10, 5},  // the skill stops at 5 through this choice
        {1, 1, 2, 10, 0, 3, 10, 0},
        {1, 1, 2, 3, 0, 2, 4, 0},
        {1, 1, 10, 10, 5, 10, 10, 5},
        {2, 4, 0, 0, 9, 0, 0, 10},
        {2, 4, 0, 3, 10, 0, 4, 10},
        {2, 4, 3, 10, 10, 4, 10, 10},
        {5, 7, 0, 0, 4, 0, 0, 5},
        {5, 7, 3, 3, 10, 4, 3, 10},
        {5, 7, 10, 3, 10, 10, 4, 10},
        {5, 7, 10, 10, 10, 10, 10, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "choice " << c.low << ".." << c.high << " from " << c.health << ","
                                        << c.weapon << "," << c.skill);
        StatusGame s(seed_with_choice(c.low, c.high));
        Unit& p = *s.player;
        p.health_level = static_cast<std::int8_t>(c.health);
        p.weapon_level = static_cast<std::int8_t>(c.weapon);
        p.skill_levels[6] = static_cast<std::int8_t>(c.skill);
        p.skill_levels[2] = 7;
        p.max_hit_points = 10 + 10 * c.health;
        p.hit_points = 3;
        s.terminal.type({'k'});
        EXPECT_FALSE(promote(s.game, 6, -1, -1, -1, -1));
        EXPECT_EQ(p.health_level, c.health_after);
        EXPECT_EQ(p.weapon_level, c.weapon_after);
        EXPECT_EQ(p.skill_levels[6], c.skill_after);
        EXPECT_EQ(p.skill_levels[2], 7);
        if (c.health_after > c.health) {
            EXPECT_EQ(p.max_hit_points, 20 + 10 * c.health);
            EXPECT_EQ(p.hit_points, p.max_hit_points);
        } else {
            EXPECT_EQ(p.max_hit_points, 10 + 10 * c.health);
            EXPECT_EQ(p.hit_points, 3);
        }
        const StatisticsBlock& st = s.game.current_statistics;
        EXPECT_EQ(st.counters[stat_health_level], static_cast<std::uint32_t>(c.health_after));
        EXPECT_EQ(st.counters[stat_weapon_level], static_cast<std::uint32_t>(c.weapon_after));
        EXPECT_EQ(st.counters[stat_leadership_levels + 6], static_cast<std::uint32_t>(c.skill_after));
        EXPECT_EQ(st.counters[stat_leadership_levels + 2], 7u);
        EXPECT_EQ(st.counters[stat_experience],
                  static_cast<std::uint32_t>(c.health_after + c.weapon_after + c.skill_after + 7));
    }

    // Everything at its cap: nothing is raised and nothing flashes.
    StatusGame full(seed_with_choice(0, 7));
    Unit& p = *full.player;
    p.health_level = 10;
    p.weapon_level = 10;
    p.skill_levels.fill(10);
    full.terminal.idle_frames_before_escape = 3;
    EXPECT_TRUE(promote(full.game, 6, 1, 2, 3, 4));
    EXPECT_EQ(full.game.current_statistics.counters[stat_experience], 180u);
    ASSERT_EQ(full.terminal.frames(), 4u);
    const ScreenBuffer& last = full.terminal.last_screen();
    for (int column = 16; column < 80; ++column) {
        for (int row = 3; row < 25; ++row) ASSERT_EQ(last.at(column, row).bg, 0) << column << "," << row;
    }
}

// The first seed whose four link draws are 0 exactly where zero says, followed by choices
// draws that each raise the skill first (2..7).
std::uint32_t seed_for_links(std::array<bool, 4> zero, int choices) {
    return seed_where([&](std::uint32_t& s) {
        bool fits = true;
        for (bool z : zero) fits = (random_below(s, 4) == 0) == z && fits;
        for (int i = 0; i < choices; ++i) fits = random_below(s, 8) >= 2 && fits;
        return fits;
    });
}

TEST(StatusScreen, PromotionListDrawsForEveryLinkAndMayRepeatAFaction) {
    // The top-right link is of the node's own faction and comes in; the top-left draw is made
    // although no node is linked there.
    StatusGame s(seed_for_links({false, true, false, false}, 2));
    s.terminal.type({' '});
    EXPECT_FALSE(promote(s.game, 3, -1, 3, -1, -1));
    EXPECT_EQ(s.player->skill_levels[3], 2);
    EXPECT_EQ(s.game.current_statistics.counters[stat_experience], 2u);

    // A draw of 0 for a missing link adds nothing.
    StatusGame m(seed_for_links({true, false, false, false}, 1));
    m.terminal.type({' '});
    EXPECT_FALSE(promote(m.game, 3, -1, 3, 3, 3));
    EXPECT_EQ(m.player->skill_levels[3], 1);

    // The bottom-left link joins with its own faction's skill.
    const std::uint32_t linked = seed_for_links({false, false, true, false}, 2);
    StatusGame l(linked);
    l.player->skill_levels[3] = 2;
    RecordingTerminal recorder(6);
    l.game.terminal = &recorder;
    EXPECT_TRUE(promote(l.game, 3, 11, 11, 12, 11));
    EXPECT_EQ(l.player->skill_levels[3], 3);
    EXPECT_EQ(l.player->skill_levels[12], 1);
    EXPECT_EQ(l.player->skill_levels[11], 0);

    // The levels just gained flash on a background drawn anew on each redraw; the old ones
    // stay on black.
    ASSERT_EQ(recorder.screens.size(), 7u);
    bool flashed_3 = false, flashed_12 = false;
    for (const ScreenBuffer& frame : recorder.screens) {
        EXPECT_EQ(frame.at(36, 4), (Cell{157, 3, 0, 0}));
        EXPECT_EQ(frame.at(36, 6), (Cell{157, 3, 0, 0}));
        EXPECT_EQ(frame.at(36, 8).glyph, 157);
        EXPECT_EQ(frame.at(54, 4).glyph, 157);
        flashed_3 = flashed_3 || frame.at(36, 8).bg != 0;
        flashed_12 = flashed_12 || frame.at(54, 4).bg != 0;
    }
    EXPECT_TRUE(flashed_3);
    EXPECT_TRUE(flashed_12);
}

}  // namespace
}  // namespace qm
