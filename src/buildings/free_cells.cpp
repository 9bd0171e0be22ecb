#include "buildings/free_cells.h"

#include "world/lists.h"

namespace qm {

bool is_free_cell(const Game& game, int x, int y) {
    if (x < game.open_min_x || x >= game.open_max_x + sector_width) return false;
    if (y < game.open_min_y || y >= game.open_max_y + sector_height) return false;
    return find_building_at(game, x, y) < 0;
}

bool free_neighbour_cell(Game& game, int bx, int by, CellPosition& out) {
    bool free[3][3] = {};
    bool any = false;
    for (int i = -1; i <= 1; ++i) {
        for (int j = -1; j <= 1; ++j) {
            if (i == 0 && j == 0) continue;
            free[i + 1][j + 1] = is_free_cell(game, bx + i, by + j);
            any = any || free[i + 1][j + 1];
        }
    }
    if (!any) return false;
    for (;;) {
        const int a = random(game, 3);
        const int b = random(game, 3);
        if (free[a][b]) {
            out = {bx + a - 1, by + b - 1};
            return true;
        }
    }
}

}  // namespace qm
