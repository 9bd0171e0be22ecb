// A terminal that plays: it looks at what each presented screen is and answers it with keys
// a restless player might press there, from a generator of its own so the game's draws stay
// the game's. It never presses a key that ends the run: ESC only on the records screen, where
// it just leaves the records, and never 'n' at the replay question.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "console/terminal.h"
#include "world/game.h"

namespace qm::soak {

enum class Screen {
    sector_assignment,
    map,
    status,  // the status screen and the promotion screen after a purchase
    defeat_notice,
    name_entry,
    records,
    replay_question,
    megaboss_victory,
};
constexpr int screen_count = 8;

// What a presented screen shows, told by the texts it holds. A screen with none of the known
// texts, after the frame's own, is the status screen.
Screen classify_modal(const ScreenBuffer& screen);

// A small generator of the soak's own (xorshift); nothing here touches the game's seed.
class Dice {
public:
    explicit Dice(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}
    std::uint32_t next();
    // 0 .. n - 1 for n > 0.
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
    bool one_in(int n) { return below(n) == 0; }

private:
    std::uint64_t state_;
};

class SoakTerminal final : public Terminal {
public:
    SoakTerminal(Game& game, std::uint64_t seed) : game_(game), dice_(seed) {}

    // The next present is the frame's own screen (the map or the sector assignment); any
    // further one before the next begin_frame is a modal screen.
    void begin_frame() {
        frame_screen_due_ = true;
        menu_letter_ = 0;
    }
    // Called on every modal screen as it is presented, for checks between its passes.
    std::function<void(Screen)> on_modal;

    void present(const ScreenBuffer& screen) override;
    int read_key() override;
    std::uint32_t tick_ms() override { return clock_; }
    void wait_until(std::uint32_t tick) override;
    void set_realtime_input(bool) override {}

    Screen screen() const { return screen_; }
    // Presents of each kind of screen, and keys pressed.
    const std::array<std::uint64_t, screen_count>& shown() const { return shown_; }
    std::uint64_t keys_pressed() const { return keys_pressed_; }
    // The purchase letter pressed in an open menu in this frame, 0 for none.
    int menu_letter() const { return menu_letter_; }

private:
    int map_key();
    int errand_key();
    void find_sources();
    int movement_key();
    int interaction_key();
    // Any key code an int can hold, but none whose low byte the game would take as ESC, nor
    // (when refuse_no) as 'n'.
    int noise_key(bool refuse_no = false);
    int typed_name_key();

    Game& game_;
    Dice dice_;
    std::uint32_t clock_ = 1000;
    bool frame_screen_due_ = true;
    Screen screen_ = Screen::sector_assignment;
    // The player either wanders or makes for the nearest active node, a while each.
    bool seeking_ = false;
    enum class Errand { open_menus, grow_network, take_up };
    Errand errand_ = Errand::open_menus;
    int mood_left_ = 0;
    int menu_letter_ = 0;
    bool menu_was_open_ = false;
    int spree_left_ = 0;
    // Source cells of the open area, looked for again every few hundred errands.
    std::vector<std::pair<int, int>> sources_;
    int sources_age_ = 0;
    std::array<std::uint64_t, screen_count> shown_{};
    std::uint64_t keys_pressed_ = 0;
};

}  // namespace qm::soak
