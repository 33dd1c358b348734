#include "ai/approach.h"

#include <algorithm>
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

// Whether turning from `from` to `to` at `slide` sweeps the blade across the puck.
bool turnMeetsPuck(const Game& game, int p, int slide, int from, int to, Point2 puck) {
    const Point2 f = game.groovePoint(p, slide);
    const Point2 rel{puck.x - f.x, puck.z - f.z};
    if (Game::distance2d(0.0f, 0.0f, rel.x, rel.z) > bladeTouchReach(p) + kBrush) return false;
    float contact = 0.0f;
    if (!bladeAngleFor(p, rel, contact)) return false;
    const float lo = static_cast<float>(std::min(from, to)), hi = static_cast<float>(std::max(from, to));
    for (int k = -3; k <= 3; ++k) {
        const float c = contact + 127.0f * static_cast<float>(k);
        if (lo < c && c < hi) return true;
    }
    return false;
}

// The nearest place along the groove, away from the puck, where the blade turns clear of it;
// -1 when the groove ends first.
int clearSlide(const Game& game, int p, Point2 puck) {
    const int limit = slideLimit(rodOf(p));
    const int here = game.slide[p];
    const auto distance = [&](int s) {
        const Point2 f = game.groovePoint(p, s);
        return Game::distance2d(f.x, f.z, puck.x, puck.z);
    };
    const int way = here < limit && distance(here + 1) > distance(here) ? 1 : -1;
    for (int s = here; s >= 0 && s <= limit; s += way)
        if (distance(s) > bladeTouchReach(p) + kBrush) return s;
    return -1;
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
    // Beyond the blade's touch it is made the short way: turned the long way round there, a
    // figure by the end of its turn's range could only come back through the puck.
    const bool touches = Game::distance2d(f.x, f.z, puck.x, puck.z) <= bladeTouchReach(p) + kBrush;
    const float contact = touches ? static_cast<float>(s.readyAngle + s.dir * strike::kWindup) : NAN;
    int angleGoal = near && game.angle[p] != s.readyAngle ? turnAround(game.angle[p], wantAngle, contact) : wantAngle;
    int slideGoal = s.slide;
    // A turn that only goes through the puck within -127..127 is made further along the
    // groove, where the blade passes clear of it.
    if (near && turnMeetsPuck(game, p, game.slide[p], game.angle[p], angleGoal, puck)) {
        const int away = clearSlide(game, p, puck);
        if (away >= 0) {
            slideGoal = away;
            angleGoal = game.angle[p];
        }
    }
    Pose to{slideAxis.step(game.slide[p], slideGoal, rate, dt), angleAxis.step(game.angle[p], angleGoal, rate, dt)};
    if (game.goalPause <= 0.0f) {
        // Only a swing may touch the puck: a figure that brushes it on the way drags it off.
        // One that already brushes a resting puck may still back away (held, it stood there
        // for good), on a way that touches it nowhere, as the figure's move is swept: or,
        // touching it, to any pose less deep in it, where the game lets it go at once. Not
        // for a moving puck: strikes so made in the far corners looked sure and went astray.
        const int s0 = game.slide[p], a0 = game.angle[p];
        const float here = game.puckOverlap(p, s0, a0);
        const auto backsAway = [&](int sl, int a) {
            if (!(game.puckOverlap(p, sl, a) < here)) return false;
            for (int k = 1; k < 5 && here <= 0.0f; ++k) {
                const float t = 0.2f * static_cast<float>(k);
                const int ks = s0 + static_cast<int>(static_cast<float>(sl - s0) * t);
                const int ka = a0 + static_cast<int>(static_cast<float>(a - a0) * t);
                if (game.puckOverlap(p, ks, ka) > 0.0f) return false;
            }
            return true;
        };
        const auto clear = [&](int sl, int a) {
            return s.wait <= 0.0f && here > -kBrush ? backsAway(sl, a) : !poseTouchesPuck(game, p, sl, a, puck, kBrush);
        };
        if (!clear(to.slide, to.angle)) {
            if (clear(game.slide[p], to.angle)) to.slide = game.slide[p];
            else if (clear(to.slide, game.angle[p])) to.angle = game.angle[p];
            else to = {game.slide[p], game.angle[p]};
        }
    }
    return to;
}
