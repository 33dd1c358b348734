#include "ai/shot_trial.h"

#include <cmath>

namespace {

constexpr float kTrialTime = 2.5f;  // seconds of play followed
constexpr int kStrikeSteps = 4;     // frames a strike may take to meet the puck

// The copy the trials run on. Never destroyed: its models and sprites are never drawn, and a
// Game's end would stop the sound of the real one.
Game& trialRink() {
    static Game* rink = new Game();
    return *rink;
}

}  // namespace

bool teamReaches(const Game& game, int team, Point2 at) {
    for (int i = 6 * team; i < 6 * team + 6; ++i) {
        const int limit = slideLimit(rodOf(i));
        for (int s = 0; s <= limit; s += 3) {
            const Point2 f = game.groovePoint(i, s);
            if (Game::distance2d(f.x, f.z, at.x, at.z) < 14.0f) return true;
        }
    }
    return false;
}

float trialStrike(const Game& game, int team, const ShotPlan& plan, const PuckState& puck, float dt, float rate) {
    // Frames as the player has them, within reason, so that the strike is the one it will make.
    const float step = dt < 1.0f / 120.0f ? 1.0f / 120.0f : dt > 0.1f ? 0.1f : dt;
    const int steps = static_cast<int>(kTrialTime / step);
    const int turn = static_cast<int>(rate * step) > 0 ? static_cast<int>(rate * step) : 1;
    Game& t = trialRink();
    for (int i = 0; i < 12; ++i) {
        t.slide[i] = t.targetSlide[i] = game.slide[i];
        t.angle[i] = t.targetAngle[i] = game.angle[i];
        t.slideDelta[i] = t.angleDelta[i] = 0;
    }
    t.puckPos[0] = puck.pos.x;
    t.puckPos[1] = puck.pos.z;
    t.puckVel[0] = puck.vel.x;
    t.puckVel[1] = puck.vel.z;
    t.puckImpulse[0] = t.puckImpulse[1] = 0.0f;
    t.goalPause = -1.0f;
    const int p = plan.player;
    // The figure as it will stand before the strike.
    t.slide[p] = t.targetSlide[p] = plan.ram ? (plan.slide > 8 ? plan.slide - 8 : 0) : plan.slide;
    const int windup = static_cast<int>(std::lround(plan.contactAngle)) - plan.dir * 16;
    t.angle[p] = t.targetAngle[p] = windup;
    const int side = team + 1;
    bool striking = true;
    for (int k = 0; k < steps; ++k) {
        if (striking && k < kStrikeSteps) {
            t.angleDelta[p] = plan.dir * turn;
            t.targetAngle[p] = t.angle[p] + t.angleDelta[p];
            if (plan.ram) {
                t.angleDelta[p] = 0;
                t.targetAngle[p] = t.angle[p];
                t.slideDelta[p] = turn;
                t.targetSlide[p] = t.slide[p] + turn;
            }
            if (t.movePlayer(p)) striking = false;
            t.angleDelta[p] = t.slideDelta[p] = 0;
        }
        const int goal = t.stepPuck(step);
        t.puckImpulse[0] = t.puckImpulse[1] = 0.0f;
        if (goal == side) return 100.0f - static_cast<float>(k) * step * 6.0f;
        if (goal > 0) return -100.0f;
    }
    const Point2 rest{t.puckPos[0], t.puckPos[1]};
    const float ahead = team == 0 ? rest.z : -rest.z;  // -120 .. 120
    return ahead * 0.1f + (teamReaches(game, team, rest) ? 10.0f : -20.0f);
}
