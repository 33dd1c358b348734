#pragma once
// A computer player. It plays by a person's rules: it reads the puck and the figures as
// drawn, and moves only its own team's figures through their targets, one skater at a
// time plus the goalie, no faster than the mouse steering could.
#include <cstdint>

#include "ai/axis_limiter.h"
#include "ai/goal_map.h"
#include "ai/puck_sight.h"
#include "ai/shot_plan.h"
#include "ai/strike_search.h"

class Game;

enum class ComputerLevel : int { Off = 0, Easy = 1, Normal = 2, Hard = 3 };

// The next level in the in-game cycle: off, easy, normal, hard, off.
ComputerLevel nextComputerLevel(ComputerLevel level);
const char* computerLevelName(ComputerLevel level);  // "off", "easy", "normal", "hard"

// The fastest a target moves, in steps a second on either axis: the mouse steering's
// 10 steps a frame at 60 frames a second.
constexpr float kComputerMaxRate = 600.0f;
// The goalie walked beside the steered figure goes at the Q and W keys' pace.
constexpr float kComputerGoalieWalkRate = 50.0f;

class ComputerPlayer {
public:
    ComputerPlayer(int team, ComputerLevel level, uint32_t seed);

    int team() const { return team_; }
    ComputerLevel level() const { return level_; }
    int selected() const { return plan_.player; }  // the figure it steers, -1 before the first frame

    // One frame: sets targetSlide and targetAngle of the own team's figures (and their
    // slide and angle deltas). Deterministic for a given seed and sequence of dt.
    void steer(Game& game, float dt);

private:
    void replan(const Game& game, PuckState puck);
    void driveSkater(Game& game, PuckState now, float dt);
    void walkGoalie(Game& game, PuckState puck, float dt);
    float aimNoise();

    int team_;
    ComputerLevel level_;
    uint32_t rng_;
    PuckSight sight_;
    float now_ = 0.0f;
    float lastDt_ = 1.0f / 60.0f;
    float sinceReplan_ = 1.0e9f;
    ShotPlan plan_;
    float noise_ = 0.0f;
    bool swinging_ = false;
    float swingTime_ = 0.0f;
    float touchTime_ = 0.0f;
    float watch_ = 0.0f;  // seconds left to let a struck puck run
    int lastPlayer_ = -1, lastSlide_ = 0, lastAngle_ = 0;  // what was commanded last frame
    float linedUp_ = 0.0f;
    ShotPlan trialPlan_;        // the strike chosen by trial for a puck at rest
    Point2 trialAt_{1.0e9f, 1.0e9f};
    float sinceTrial_ = 1.0e9f;
    float trialValue_ = 0.0f;  // seconds the current shot has waited for the puck
    GoalMap goalMap_;
    StrikeSearch search_;
    AxisLimiter slideAxis_, angleAxis_, goalieAxis_;
};
