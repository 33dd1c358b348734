#include "ai/approach.h"

#include <cmath>

#include "ai/blade_geometry.h"

namespace {

constexpr int kAway = 44;          // steps the blade is turned back from its ready angle on the way
constexpr float kNear = 22.0f;     // units from the puck within which the blade is turned back
constexpr float kBrush = 1.0f;     // room kept from the puck outside a swing

float wrapSteps(float a) {
    a = std::fmod(a, 127.0f);
    if (a > 63.5f) a -= 127.0f;
    if (a < -63.5f) a += 127.0f;
    return a;
}

// The angle that turns the figure as `to` does, reached from `from` the way that does not
// sweep the blade across `avoid` (all in steps); within -127..127.
int turnAround(int from, int to, float avoid) {
    float delta = wrapSteps(static_cast<float>(to - from));
    const float c = wrapSteps(avoid - static_cast<float>(from));
    if (c * delta > 0.0f && std::fabs(c) < std::fabs(delta)) delta -= std::copysign(127.0f, delta);
    int a = from + static_cast<int>(std::lround(delta));
    if (a > 127) a -= 127;
    if (a < -127) a += 127;
    return a;
}

}  // namespace

Pose approachStep(const Game& game, const Strike& s, AxisLimiter& slideAxis, AxisLimiter& angleAxis, float rate,
                  float dt) {
    const int p = s.player;
    const Point2 puck{game.puckPos[0], game.puckPos[1]};
    const Point2 f = game.groovePoint(p, game.slide[p]);
    const bool near = Game::distance2d(f.x, f.z, puck.x, puck.z) < kNear;
    int wantAngle = s.readyAngle;
    if (game.slide[p] != s.slide && near) wantAngle = s.readyAngle - s.dir * kAway;
    // The same pose within -127..127, as the datagram carries it.
    if (wantAngle > 127) wantAngle -= 127;
    if (wantAngle < -127) wantAngle += 127;
    // The final turn is made from the side away from the puck, so it ends wound up behind it.
    const float contact = static_cast<float>(s.readyAngle + s.dir * strike::kWindup);
    const int angleGoal = near && game.angle[p] != s.readyAngle ? turnAround(game.angle[p], wantAngle, contact) : wantAngle;
    Pose to{slideAxis.step(game.slide[p], s.slide, rate, dt), angleAxis.step(game.angle[p], angleGoal, rate, dt)};
    if (game.goalPause <= 0.0f) {
        // Only a swing may touch the puck: a figure that brushes it on the way drags it off.
        const auto clear = [&](int sl, int a) { return !poseTouchesPuck(game, p, sl, a, puck, kBrush); };
        if (!clear(to.slide, to.angle)) {
            if (clear(game.slide[p], to.angle)) to.slide = game.slide[p];
            else if (clear(to.slide, game.angle[p])) to.angle = game.angle[p];
            else to = {game.slide[p], game.angle[p]};
        }
    }
    return to;
}
