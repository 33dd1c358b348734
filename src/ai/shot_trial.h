#pragma once
// Trying a strike before making it: the game's own figures and puck step, run on a private
// copy of the rink as it stands, tell where the puck would go.
#include <algorithm>

#include "ai/axis_limiter.h"
#include "ai/puck_forecast.h"
#include "sim/game.h"

// How a strike is made, the same in play and on trial: the blade waits kWindup steps behind
// the puck, turns on to kFollow steps past it, and pushes until it has touched the puck for
// kPushTime seconds (a few frames at any frame rate) or kSwingTime has passed.
namespace strike {
constexpr int kWindup = 16;
constexpr int kFollow = 12;
constexpr float kPushTime = 0.04f;
constexpr float kSwingTime = 0.35f;
constexpr int kRamThrough = 24;        // slide steps a ram drives on from its start
constexpr float kRamPushTime = 0.12f;  // the body pushes for longer than a blade flicks
}  // namespace strike

struct Strike {
    int player = -1;
    int slide = 0;       // where the figure stands
    int readyAngle = 0;  // wound up behind the puck, -127..127
    int dir = 1;         // +1: the swing raises the angle
    int ram = 0;         // +1 or -1: the body driven along the groove that way instead
    float rate = 600.0f; // steps a second in the swing
    float approachRate = 600.0f;  // and on the way to it
    float wait = 0.0f;   // seconds from the sighting to the swing; 0 with the puck at rest
    Point2 puckAt{};     // where the puck is met
};

// Whether a figure stands at the strike's ready angle (a whole turn is the same pose).
inline bool atReadyAngle(const Strike& s, int angle) { return (angle - s.readyAngle) % 127 == 0; }

struct Pose {
    int slide, angle;
};

// One frame of a swing: the figure's next target pose, and whether the swing is over. A
// blade swing turns the figure on past the puck; a ram slides it along its groove through it.
// The turn stops at -127..127, as the datagram carries it: from a pose a whole turn off the
// planned one it is cut short, on trial as in play. A ram stops at the groove's end, where
// play stops it: a trial that ran on past it would push a puck that play never reaches.
class Swing {
public:
    // From the ready pose the figure stands at.
    Swing(const Strike& s, Pose ready)
        : rate_(s.rate), ram_(s.ram != 0),
          follow_{std::clamp(ready.slide + s.ram * strike::kRamThrough, 0, slideLimit(rodOf(s.player))),
                  std::clamp(ready.angle + s.dir * (strike::kWindup + strike::kFollow), -127, 127)} {}
    // `touched`: the figure met the puck in the frame before this one.
    bool over(Pose now, bool touched, float dt) {
        if (touched) touch_ += dt;
        const bool through = ram_ ? now.slide == follow_.slide : now.angle == follow_.angle;
        return touch_ > (ram_ ? strike::kRamPushTime : strike::kPushTime) || time_ > strike::kSwingTime || through;
    }
    Pose next(Pose now, float dt) {
        time_ += dt;
        if (ram_) return {limiter_.step(now.slide, follow_.slide, rate_, dt), now.angle};
        return {now.slide, limiter_.step(now.angle, follow_.angle, rate_, dt)};
    }

private:
    float rate_;
    bool ram_;
    Pose follow_;
    AxisLimiter limiter_;
    float time_ = 0.0f, touch_ = 0.0f;
};

struct TrialOutcome {
    int goal = 0;           // the side that scored, 0 for none
    float time = 0.0f;      // seconds from the swing to the goal, or until the puck is slow
    Point2 rest{};          // where the puck comes to rest
    bool touched = false;   // the swing met the puck at all
    int steps = 0;          // puck steps the trial took: its cost
    Point2 met{};           // where the puck was when the swing began
};

// The strike made on the puck as sighted, the others standing as they stand, in frames of
// `dt`: the figure keeps still for `hold` seconds (the player's reaction and thought), goes
// to its ready pose, and swings `wait` seconds after the sighting, or as soon as it is
// ready when the wait is 0 (a puck at rest).
// `othersWalk`: the other team's goalie is expected to walk as this team's does.
TrialOutcome trialStrike(const Game& game, const Strike& strike, const PuckState& puck, float hold, float dt,
                         bool othersWalk);

// Where the puck goes if no one moves: positions every `every` seconds, `count` of them,
// the first one `every` after now. Returns how many were filled before a goal ended it.
int puckTimeline(const Game& game, const PuckState& puck, float every, int count, Point2* out);

// Whether a blade of `team` can reach a puck resting at `at`: surely, or with `farthest`
// (a figure's reach, in place of the sure one) at most.
bool bladeReaches(const Game& game, int team, Point2 at, float (*farthest)(int player) = nullptr);
