#include "units/shots.h"

#include "world/lists.h"

namespace qm {

namespace {

constexpr int shot_life = 20;

}  // namespace

void fire_shot(Game& game, const Unit& shooter, int kind, int tx, int ty) {
    Effect shot = fresh_effect();
    shot.kind = kind;
    shot.faction = shooter.faction;
    shot.x = shooter.x;
    shot.y = shooter.y;
    shot.life = shot_life;
    shot.vx = tx - shooter.x;
    shot.vy = ty - shooter.y;
    shot.frac_x = 0;
    shot.frac_y = 0;
    append_effect(game, shot);
}

}  // namespace qm
