#pragma once
// The goalie walked beside the steered figure: across the mouth with the puck while the
// puck is in the own half, back to the middle otherwise, at the Q and W keys' pace. The
// computer walks its own this way, and expects another computer's to do the same.
#include <cmath>

#include "ai/axis_limiter.h"
#include "sim/game.h"

// The goalie walked beside the steered figure goes at the Q and W keys' pace.
constexpr float kComputerGoalieWalkRate = 50.0f;

class GoalieWalk {
public:
    // The goalie's target for this frame.
    int step(const Game& game, int team, Point2 puck, float dt) {
        const int g = 6 * team;
        const bool ownHalf = team == 0 ? puck.z < 0.0f : puck.z > 0.0f;
        float x = ownHalf ? puck.x : 0.0f;
        x = x < -15.0f ? -15.0f : x > 15.0f ? 15.0f : x;
        const float t = (team == 0 ? x + 15.0f : 15.0f - x) / 30.0f;
        int want = static_cast<int>(std::lround(t * 50.0f));
        want = want < 0 ? 0 : want > slideLimit(0) ? slideLimit(0) : want;
        return axis_.step(game.slide[g], want, kComputerGoalieWalkRate, dt);
    }
    void reset() { axis_.reset(); }

private:
    AxisLimiter axis_;
};
