#include "ai/shot_trial.h"

#include <cmath>

namespace {

constexpr float kTrialTime = 3.0f;  // seconds of play followed at most
constexpr float kSettled = 6.0f;    // a puck this slow is ready for the next strike
constexpr float kGlide = 8.0f;      // seconds of gliding read ahead beyond the trial

// The copy the trials run on. Never destroyed: its models and sprites are never drawn, and a
// Game's end would stop the sound of the real one.
Game& trialRink() {
    static Game* rink = new Game();
    return *rink;
}

}  // namespace

bool teamReaches(const Game& game, int team, Point2 at) {
    // Within a blade's reach of some place on a groove, or on a groove, in a body's way.
    for (int i = 6 * team; i < 6 * team + 6; ++i) {
        const int limit = slideLimit(rodOf(i));
        for (int s = 0; s <= limit; s += 2) {
            const Point2 f = game.groovePoint(i, s);
            const float d = Game::distance2d(f.x, f.z, at.x, at.z);
            if (d < 4.5f || (d > 7.5f && d < 13.0f)) return true;
        }
    }
    return false;
}

float trialStrike(const Game& game, int team, const ShotPlan& plan, const PuckState& puck, float dt, float rate,
                  const GoalMap* map) {
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
    const int contact = static_cast<int>(std::lround(plan.contactAngle));
    t.angle[p] = t.targetAngle[p] = contact - plan.dir * static_cast<int>(strike::kWindup);
    const int follow = contact + plan.dir * static_cast<int>(strike::kFollow);
    const int side = team + 1;
    bool striking = true;
    float swingTime = 0.0f, touchTime = 0.0f;
    for (int k = 0; k < steps; ++k) {
        if (striking) {
            swingTime += step;
            int move = 0;
            if (plan.ram) {
                move = plan.slide + 14 - t.slide[p];
                move = move < 0 ? 0 : move > turn ? turn : move;
                t.slideDelta[p] = move;
                t.targetSlide[p] = t.slide[p] + move;
            } else {
                move = (follow - t.angle[p]) * plan.dir;
                move = (move < 0 ? 0 : move > turn ? turn : move) * plan.dir;
                t.angleDelta[p] = move;
                t.targetAngle[p] = t.angle[p] + move;
            }
            if (t.movePlayer(p)) touchTime += step;
            t.angleDelta[p] = t.slideDelta[p] = 0;
            if (touchTime > strike::kPushTime || swingTime > strike::kSwingTime || move == 0) striking = false;
        }
        const int goal = t.stepPuck(step);
        t.puckImpulse[0] = t.puckImpulse[1] = 0.0f;
        const float v2 = t.puckVel[0] * t.puckVel[0] + t.puckVel[1] * t.puckVel[1];
        if (!striking && v2 < kSettled * kSettled) break;  // slow enough for the next strike
        if (goal == side) return 100.0f - static_cast<float>(k) * step * 6.0f;
        if (goal > 0) return -100.0f;
    }
    // Where it glides to from there (its last few units are slow and seldom meet anything).
    const Point2 rest = forecastPuck(PuckState{{t.puckPos[0], t.puckPos[1]}, {t.puckVel[0], t.puckVel[1]}}, kGlide).pos;
    const float ahead = team == 0 ? rest.z : -rest.z;  // -120 .. 120
    return ahead * 0.1f + (teamReaches(game, team, rest) ? 10.0f : -20.0f) + (map ? 40.0f * map->chance(rest) : 0.0f);
}
