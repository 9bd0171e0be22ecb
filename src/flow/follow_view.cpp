#include "flow/follow_view.h"

#include <algorithm>

namespace qm {

void follow_view(Game& game, int x, int y) {
    while (x < game.view_x + 10) game.view_x -= 40;
    while (x > game.view_x + 69) game.view_x += 40;
    while (y < game.view_y + 6) game.view_y -= 13;
    while (y > game.view_y + 20) game.view_y += 13;
    game.view_x = std::max(game.view_x, game.open_min_x);
    game.view_y = std::max(game.view_y, game.open_min_y);
    game.view_x = std::min(game.view_x, game.open_max_x);
    game.view_y = std::min(game.view_y, game.open_max_y);
}

}  // namespace qm
