#pragma once
// The search for the best strike on a slow puck, tried on a copy of the rink a few strikes a
// frame, so that no frame of the game waits for the whole search.
#include "ai/goal_map.h"
#include "ai/puck_forecast.h"
#include "ai/shot_plan.h"

class StrikeSearch {
public:
    // A fresh search for `team` on `puck`, around the line `aimAngle` (radians).
    void start(int team, PuckState puck, float aimAngle);
    void stop() { running_ = false; }
    bool running() const { return running_; }
    // Tries up to `budget` strikes; true on the frame the search ends.
    bool advance(const Game& game, float dt, float rate, const GoalMap* map, int budget);

    const ShotPlan& best() const { return best_; }  // player -1: nothing to strike with
    float bestValue() const { return bestValue_; }
    Point2 puckAt() const { return puck_.pos; }

private:
    int team_ = 0;
    PuckState puck_{};
    float aim_ = 0.0f;
    int next_ = 0;
    bool running_ = false;
    ShotPlan best_;
    float bestValue_ = 0.0f;
};
