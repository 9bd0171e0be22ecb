#include "soak/soak_terminal.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "buildings/node_network.h"
#include "console/keys.h"
#include "world/directions.h"
#include "world/lists.h"

namespace qm::soak {
namespace {

// Raw codes as the curses read returns them: cursor keys and the keypad's corners.
constexpr std::array<int, 9> keypad_codes{0x102, 0x103, 0x104, 0x105, 0x1C1, 0x1C3, 0x1C5, 0x1C7, 0x1C9};
constexpr std::string_view interaction_letters = "qweadzxc";
constexpr std::string_view menu_purchase_letters = "qweadzc";
constexpr std::string_view name_characters = "abcdefghijklmnopqrstuvwxyz0123456789 ";

// The text stands on the row where put_centred would put it.
bool shows(const ScreenBuffer& screen, int row, std::string_view text) {
    const int column = 39 - static_cast<int>((text.size() - 1) / 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (screen.at(column + static_cast<int>(i), row).glyph != static_cast<unsigned char>(text[i])) return false;
    }
    return true;
}

int with_random_case(Dice& dice, char letter) {
    return dice.one_in(3) ? letter - 'a' + 'A' : letter;
}

}  // namespace

std::uint32_t Dice::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<std::uint32_t>(state_ >> 16);
}

Screen classify_modal(const ScreenBuffer& screen) {
    if (shows(screen, 11, "The citizens under your charge have all been slain.")) return Screen::defeat_notice;
    if (shows(screen, 13, "Would you like to play again?  (Y - Yes, N or ESC - Quit)")) return Screen::replay_question;
    if (shows(screen, 11, "You have bested an old record!  What is your name?")) return Screen::name_entry;
    if (shows(screen, 12, "YOU HAVE DEFEATED THE MEGABOSS.  PRESS H TO TAKE ON THE NEXT ONE.")) {
        return Screen::megaboss_victory;
    }
    if (shows(screen, 24, "Press space to continue.")) return Screen::records;
    return Screen::status;
}

void SoakTerminal::present(const ScreenBuffer& screen) {
    if (frame_screen_due_) {
        frame_screen_due_ = false;
        screen_ = game_.game_mode == 0 ? Screen::sector_assignment : Screen::map;
    } else {
        screen_ = classify_modal(screen);
    }
    ++shown_[static_cast<std::size_t>(screen_)];
    // A real screen takes a few milliseconds to draw; the animations see the clock move.
    clock_ += 3;
    if (screen_ != Screen::map && screen_ != Screen::sector_assignment && on_modal) on_modal(screen_);
}

void SoakTerminal::wait_until(std::uint32_t tick) {
    if (static_cast<std::int32_t>(tick - clock_) > 0) clock_ = tick;
}

int SoakTerminal::read_key() {
    int key = key_none;
    const int roll = dice_.below(100);
    switch (screen_) {
        case Screen::sector_assignment:
            key = roll < 40 ? (dice_.one_in(2) ? '4' : '6') : roll < 55 ? key_none : noise_key();
            break;
        case Screen::map: key = map_key(); break;
        case Screen::status: key = roll < 40 ? key_none : noise_key(); break;
        case Screen::defeat_notice:
            key = roll < 30 ? with_random_case(dice_, 'h') : roll < 60 ? key_none : noise_key();
            break;
        case Screen::name_entry: key = typed_name_key(); break;
        case Screen::records:
            key = roll < 45 ? ' ' : roll < 55 ? key_escape : roll < 75 ? key_none : noise_key();
            break;
        case Screen::replay_question:
            key = roll < 30 ? with_random_case(dice_, 'y') : roll < 60 ? key_none : noise_key(true);
            break;
        case Screen::megaboss_victory:
            key = roll < 30 ? with_random_case(dice_, 'h') : roll < 60 ? key_none : noise_key();
            break;
    }
    if (key != key_none) ++keys_pressed_;
    return key;
}

int SoakTerminal::map_key() {
    const bool menu_opened = game_.open_menu != -1 && !menu_was_open_;
    menu_was_open_ = game_.open_menu != -1;
    if (menu_opened && game_.open_menu == 0 && dice_.one_in(30)) spree_left_ = 100 + dice_.below(500);
    if (game_.open_menu == 0 && spree_left_ > 0) {
        // A buying spree: troops and fliers until the limits hold, and no closing.
        --spree_left_;
        if (dice_.one_in(5)) return key_none;
        menu_letter_ = "edzwa"[dice_.below(5)];
        return menu_letter_;
    }
    spree_left_ = 0;
    if (game_.open_menu != -1) {
        const int roll = dice_.below(100);
        if (roll < 45) {
            menu_letter_ = menu_purchase_letters[static_cast<std::size_t>(dice_.below(7))];
            return with_random_case(dice_, static_cast<char>(menu_letter_));
        }
        if (roll < 50) return 'x';
        if (roll < 75) return key_none;
        if (roll < 85) return movement_key();  // does nothing while a menu is open
        return noise_key();
    }
    if (--mood_left_ <= 0) {
        seeking_ = dice_.below(100) < 50;
        const int pick = dice_.below(10);
        errand_ = pick < 4 ? Errand::open_menus : pick < 8 ? Errand::grow_network : Errand::take_up;
        mood_left_ = 50 + dice_.below(400);
    }
    if (seeking_ && dice_.below(100) < 80) return errand_key();
    const int roll = dice_.below(100);
    if (roll < 45) return key_none;
    if (roll < 72) return movement_key();
    if (roll < 92) return interaction_key();
    if (roll < 94) return with_random_case(dice_, 's');
    return noise_key();
}

namespace {

constexpr std::array<std::array<char, 3>, 3> step_keys{{{'7', '4', '1'}, {'8', '5', '2'}, {'9', '6', '3'}}};
constexpr std::array<std::array<char, 3>, 3> reach_keys{{{'q', 'a', 'z'}, {'w', ' ', 'x'}, {'e', 'd', 'c'}}};

int sign(int v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }
int distance_to(const Unit& u, int x, int y) { return std::max(std::abs(x - u.x), std::abs(y - u.y)); }

}  // namespace

// What a purposeful player does, one errand a while: opens the menus of active nodes; grows the
// network, setting nodes down on sources and on the floor that active nodes energise; or takes
// active nodes up again, so the network goes dark behind them. Without a node in hand it fetches
// the nearest one (a corrupted one is cleansed as it is taken).
int SoakTerminal::errand_key() {
    if (game_.units.empty()) return key_none;
    const Unit& player = *game_.units[0];
    const auto nearest = [&](auto wanted) {
        const Building* best = nullptr;
        for (const auto& b : game_.buildings) {
            if (!wanted(*b)) continue;
            if (best == nullptr || distance_to(player, b->x, b->y) < distance_to(player, best->x, best->y)) {
                best = b.get();
            }
        }
        return best;
    };
    const auto step_toward = [&](int x, int y) -> int {
        // Now and then a sidestep, so a wall or a carried building in the way is got round.
        if (dice_.one_in(4)) return movement_key();
        return step_keys[static_cast<std::size_t>(sign(x - player.x) + 1)][static_cast<std::size_t>(sign(y - player.y) + 1)];
    };
    const auto is_active = [&](const Building& b) {
        return b.kind == building_node && on_map(b.x, b.y) && is_active_ground(map_cell(game_, b.x, b.y));
    };
    const Building* active = nearest(is_active);
    const bool active_near = active != nullptr && distance_to(player, active->x, active->y) <= 40;
    int carried = 0;
    for (const Building& slot : player.carry_slots) carried += slot.empty() ? 0 : 1;

    if (errand_ == Errand::open_menus && active_near) {
        if (distance_to(player, active->x, active->y) > 1) return step_toward(active->x, active->y);
        return reach_keys[static_cast<std::size_t>(active->x - player.x + 1)][static_cast<std::size_t>(active->y - player.y + 1)];
    }
    if (errand_ == Errand::take_up && active_near && carried < 3) {
        // Walking into a node takes it.
        return step_toward(active->x, active->y);
    }

    for (int d = 0; d < 8; ++d) {
        if (player.carry_slots[static_cast<std::size_t>(d)].kind != building_node) continue;
        // Where the node should stand: on energised floor beside an active node, or on a source.
        std::vector<std::pair<int, int>> spots;
        if (active_near) {
            for (const Offset& link : link_offsets) {
                const int x = active->x + link.dx, y = active->y + link.dy;
                if (on_map(x, y) && is_energised_floor(map_cell(game_, x, y)) && find_building_at(game_, x, y) < 0) {
                    spots.push_back({x, y});
                }
            }
        }
        if (spots.empty()) {
            if (sources_age_-- <= 0) find_sources();
            spots = sources_;
        }
        const Offset o = direction_offset(d);
        int best_x = -1, best_y = -1;
        for (const auto& [sx, sy] : spots) {
            if (best_x < 0 || distance_to(player, sx - o.dx, sy - o.dy) < distance_to(player, best_x, best_y)) {
                best_x = sx - o.dx;
                best_y = sy - o.dy;
            }
        }
        if (best_x < 0) break;
        if (player.x != best_x || player.y != best_y) return step_toward(best_x, best_y);
        return reach_keys[static_cast<std::size_t>(o.dx + 1)][static_cast<std::size_t>(o.dy + 1)];
    }

    const Building* node = nearest([&](const Building& b) {
        return (b.kind == building_node && !is_active(b)) || b.kind == building_corrupted_node;
    });
    if (node == nullptr) return movement_key();
    return step_toward(node->x, node->y);
}

void SoakTerminal::find_sources() {
    sources_.clear();
    for (int x = game_.open_min_x; x < game_.open_max_x + 80 && x < map_width; ++x) {
        for (int y = game_.open_min_y; y < game_.open_max_y + 25 && y < map_height; ++y) {
            if (is_source(map_cell(game_, x, y))) sources_.push_back({x, y});
        }
    }
    sources_age_ = 300;
}

int SoakTerminal::movement_key() {
    if (dice_.one_in(3)) return keypad_codes[static_cast<std::size_t>(dice_.below(keypad_codes.size()))];
    return '1' + dice_.below(9);
}

int SoakTerminal::interaction_key() {
    return with_random_case(dice_, interaction_letters[static_cast<std::size_t>(dice_.below(8))]);
}

int SoakTerminal::noise_key(bool refuse_no) {
    for (;;) {
        // Mostly plain bytes, sometimes any int at all.
        const int key = dice_.one_in(4) ? static_cast<int>(dice_.next() ^ (dice_.next() << 16))
                                        : 1 + dice_.below(255);
        const int seen = normalise_key(key_low_byte(key));
        if (seen == key_escape || seen == key_none) continue;
        if (refuse_no && seen == 'n') continue;
        return key;
    }
}

int SoakTerminal::typed_name_key() {
    const int roll = dice_.below(100);
    if (roll < 55) return with_random_case(dice_, name_characters[static_cast<std::size_t>(dice_.below(name_characters.size()))]);
    if (roll < 65) {
        static constexpr std::array<int, 4> rubouts{8, 127, 0x107, 7};
        return rubouts[static_cast<std::size_t>(dice_.below(4))];
    }
    if (roll < 75) return dice_.one_in(2) ? '\n' : '\r';
    if (roll < 90) return key_none;
    return noise_key();
}

}  // namespace qm::soak
