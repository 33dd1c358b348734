#include "ai/shot_trial.h"

#include <algorithm>
#include <cmath>

#include "ai/approach.h"
#include "ai/blade_geometry.h"
#include "ai/goalie_walk.h"

namespace {

constexpr float kCoarse = 1.0f / 60.0f;  // after the swing the puck is followed in steps no shorter
constexpr float kGlideStep = 1.0f / 30.0f; // the path of a puck no one strikes is read in these
constexpr float kRollout = 4.0f;         // seconds of play followed after the swing
constexpr float kSettled = 2.0f;         // a puck this slow glides on alone
constexpr float kLongestWay = 1.5f;      // seconds a figure may take to its place at a resting puck

// The copy the trials run on. Never destroyed: its models and sprites are never drawn, and a
// Game's end would stop the sound of the real one.
Game& trialRink() {
    static Game* rink = new Game();
    return *rink;
}

Game& setUp(const Game& game, const PuckState& puck) {
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
    return t;
}

int stepOnce(Game& t, float dt) {
    const int goal = t.stepPuck(dt);
    t.puckImpulse[0] = t.puckImpulse[1] = 0.0f;
    return goal;
}

float speed2(const Game& t) { return t.puckVel[0] * t.puckVel[0] + t.puckVel[1] * t.puckVel[1]; }

}  // namespace

TrialOutcome trialStrike(const Game& game, const Strike& s, const PuckState& puck, float hold, float dt,
                         bool othersWalk) {
    TrialOutcome out;
    Game& t = setUp(game, puck);
    const int p = s.player;
    const int team = teamOf(p);
    // The goalies walk with the puck meanwhile (not the striker, nor a team that keeps still),
    // and as in play the puck stops them: set down anywhere, one would shove it aside.
    GoalieWalk ownGoalie, otherGoalie;
    const auto walk = [&](GoalieWalk& goalie, int side, Point2 at, float d) {
        const int g = 6 * side;
        t.targetSlide[g] = goalie.step(t, side, at, d);
        if (t.targetSlide[g] != t.slide[g]) t.movePlayer(g);
    };
    // As in play, where the figures move in order: the goalie before any skater.
    const auto walkGoalies = [&](float d) {
        const Point2 at{t.puckPos[0], t.puckPos[1]};
        if (rodOf(p) != 0) walk(ownGoalie, team, at, d);
        if (othersWalk) walk(otherGoalie, 1 - team, at, d);
    };
    const auto step = [&](float d) {
        walkGoalies(d);
        return stepOnce(t, d);
    };
    const float coarse = dt > kCoarse ? dt : kCoarse;
    // The figure holds, then goes to its place, frame by frame as it will in play.
    const bool timed = s.wait > 0.0f;
    const int holdFrames = timed ? static_cast<int>(std::lround(hold / dt)) : 0;
    const int frames = timed ? static_cast<int>(std::lround(s.wait / dt)) : static_cast<int>(kLongestWay / dt);
    AxisLimiter slideAxis, angleAxis;
    bool ready = false;
    for (int k = 0; k < frames; ++k) {
        ready = t.slide[p] == s.slide && atReadyAngle(s, t.angle[p]);
        if (ready && !timed) break;
        if (k >= holdFrames && !ready) {
            const Pose to = approachStep(t, s, slideAxis, angleAxis, s.approachRate, dt);
            t.targetSlide[p] = to.slide;
            t.targetAngle[p] = to.angle;
            t.slideDelta[p] = to.slide - t.slide[p];
            t.angleDelta[p] = to.angle - t.angle[p];
            walkGoalies(dt);
            t.movePlayer(p);
            t.slideDelta[p] = t.angleDelta[p] = 0;
            out.goal = stepOnce(t, dt);
        } else {
            out.goal = step(dt);
        }
        ++out.steps;
        if (out.goal) {
            out.rest = {t.puckPos[0], t.puckPos[1]};
            out.touched = false;
            return out;
        }
    }
    ready = t.slide[p] == s.slide && atReadyAngle(s, t.angle[p]);
    if (!ready) {  // not there in time: nothing is struck
        out.rest = {t.puckPos[0], t.puckPos[1]};
        return out;
    }
    out.met = {t.puckPos[0], t.puckPos[1]};
    Swing swing(s, Pose{t.slide[p], t.angle[p]});
    bool touched = false;
    float swingTime = 0.0f;
    for (;;) {
        if (swing.over(Pose{t.slide[p], t.angle[p]}, touched, dt)) break;
        const Pose to = swing.next(Pose{t.slide[p], t.angle[p]}, dt);
        t.targetSlide[p] = to.slide;
        t.targetAngle[p] = to.angle;
        t.slideDelta[p] = to.slide - t.slide[p];
        t.angleDelta[p] = to.angle - t.angle[p];
        walkGoalies(dt);
        touched = t.movePlayer(p);
        out.touched = out.touched || touched;
        t.slideDelta[p] = t.angleDelta[p] = 0;
        out.goal = stepOnce(t, dt);
        ++out.steps;
        swingTime += dt;
        if (out.goal) break;
    }
    out.time = swingTime;
    // Followed in the game's own frames: a coarser step lets a puck slip past a blade.
    for (float run = 0.0f; !out.goal && run < kRollout && speed2(t) > kSettled * kSettled; run += coarse) {
        out.goal = step(coarse);
        ++out.steps;
        out.time += coarse;
    }
    const PuckState now{{t.puckPos[0], t.puckPos[1]}, {t.puckVel[0], t.puckVel[1]}};
    out.rest = out.goal ? now.pos : puckRestsAt(now);
    return out;
}

int puckTimeline(const Game& game, const PuckState& puck, float every, int count, Point2* out) {
    Game& t = setUp(game, puck);
    const int sub = static_cast<int>(std::ceil(every / kGlideStep));
    const float d = every / static_cast<float>(sub);
    for (int k = 0; k < count; ++k) {
        for (int j = 0; j < sub; ++j)
            if (stepOnce(t, d)) return k;
        out[k] = {t.puckPos[0], t.puckPos[1]};
    }
    return count;
}

bool bladeReaches(const Game& game, int team, Point2 at, float (*reach)(int player)) {
    for (int i = 6 * team; i < 6 * team + 6; ++i) {
        const int limit = slideLimit(rodOf(i));
        float nearest = 0.0f, farthest = 0.0f;
        bladeReach(i, nearest, farthest);
        if (reach) farthest = reach(i);
        for (int k = 0; k < limit + 2; k += 2) {
            const Point2 f = game.groovePoint(i, std::min(k, limit));  // the far end too
            const float d = Game::distance2d(f.x, f.z, at.x, at.z);
            if (d > nearest && d < farthest) return true;
        }
    }
    return false;
}
