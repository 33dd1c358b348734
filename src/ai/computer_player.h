#pragma once
// A computer player. It plays by a person's rules: it reads the puck and the figures as
// drawn, and moves only its own team's figures through their targets, one skater at a
// time plus the goalie, no faster than the mouse steering could.
#include <cstdint>

#include "ai/axis_limiter.h"
#include "ai/goalie_walk.h"
#include "ai/puck_sight.h"
#include "ai/remote_puck.h"
#include "ai/shot_trial.h"
#include "ai/strike_search.h"

class Game;

enum class ComputerLevel : int { Off = 0, Easy = 1, Normal = 2, Hard = 3 };

// The next level in the in-game cycle: off, easy, normal, hard, off.
ComputerLevel nextComputerLevel(ComputerLevel level);
const char* computerLevelName(ComputerLevel level);  // "off", "easy", "normal", "hard"

// The fastest a target moves, in steps a second on either axis: the mouse steering's
// 10 steps a frame at 60 frames a second.
constexpr float kComputerMaxRate = 600.0f;

class ComputerPlayer {
public:
    ComputerPlayer(int team, ComputerLevel level, uint32_t seed);

    int team() const { return team_; }
    ComputerLevel level() const { return level_; }
    int selected() const { return plan_.player; }  // the figure it steers, -1 before the first

    // One frame: sets targetSlide and targetAngle of the own team's figures (and their
    // slide and angle deltas). Deterministic for a given seed and sequence of dt.
    void steer(Game& game, float dt);

private:
    enum class Phase { Look, Approach, Swing, Watch };
    PuckState perceive(const Game& game, float& age);
    void look(const Game& game, const PuckState& seen, float age, float dt);
    void adopt(const Game& game);
    void approach(Game& game, const PuckState& seen, float dt);
    void swing(Game& game, float dt);
    void command(Game& game, int slide, int angle);
    void walkGoalie(Game& game, const PuckState& puck, float dt);
    float unitNoise();

    int team_;
    ComputerLevel level_;
    uint32_t rng_;
    PuckSight sight_;
    RemotePuck remote_;
    float now_ = 0.0f;
    Phase phase_ = Phase::Look;
    StrikeSearch search_;
    float lookAt_ = 0.0f;     // no fresh search before this
    float sightTime_ = 0.0f;  // when the puck the search worked on was seen
    int avoid_ = -1;          // a figure that could not get to its place last time
    int vain_ = 0;            // searches in a row that found nothing worth making
    Strike plan_;
    Swing swing_{Strike{}, Pose{0, 0}};
    float phaseSince_ = 0.0f;
    float watchUntil_ = 0.0f;
    float lastSpeed_ = 0.0f;
    int lastSlide_ = 0, lastAngle_ = 0;  // what was commanded last frame
    float stillSince_ = 0.0f;
    AxisLimiter slideAxis_, angleAxis_;
    GoalieWalk goalie_;
    float otherMovedAt_ = -1.0e9f;  // when the other team was last seen to move
    int otherPoses_[12] = {};
};
