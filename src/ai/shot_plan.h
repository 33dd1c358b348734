#pragma once
// Lining up a shot: which place on its groove lets a figure's blade sweep the puck toward
// a chosen point, and which point of the goal mouth the figures leave most open.
#include "sim/game.h"

// How a strike is made, the same in play and on trial: the blade waits kWindup steps behind
// the puck, turns on to kFollow steps past it, and pushes until it has touched the puck for
// kPushTime seconds (a few frames at any frame rate) or kSwingTime has passed.
namespace strike {
constexpr float kWindup = 16.0f;
constexpr float kFollow = 12.0f;
constexpr float kPushTime = 0.04f;
constexpr float kSwingTime = 0.35f;
}  // namespace strike

struct ShotPlan {
    int player = -1;
    int slide = 0;             // where the figure stands to strike
    float contactAngle = 0.0f; // angle steps at which the blade meets the puck
    int dir = 1;               // +1: the swing raises the angle, -1: lowers it
    float quality = -1.0f;     // cosine between the push and the wanted line
    bool tried = false;        // weighed on a copy of the rink
    bool ram = false;          // driven along the groove by the body rather than struck
};

// The point to shoot at in the goal that `team` attacks, the most open of the mouth as seen
// from `from`; figures right at the puck (the shooter among them) are left out.
Point2 openGoalPoint(const Game& game, int team, Point2 from);

// The best strike of `player` on a puck at `puck` toward direction `aimAngle` (radians, in
// the x-z plane). quality < 0: no place on the groove puts the blade on the puck.
ShotPlan planShot(const Game& game, int player, Point2 puck, float aimAngle);

// The blade's meeting with a puck at `rel` from the figure: the angle (steps) that puts the
// blade on it, or false when the puck lies out of the blade's reach.
bool bladeAngleFor(int player, Point2 rel, float& angleSteps);

// Steps the blade of a figure standing at `angle` must still turn in direction `dir` to
// reach the puck at `rel` (negative: it has passed it). Out of reach: a large number.
float bladeGap(int player, int angle, int dir, Point2 rel);

// Whether a figure standing at this pose would touch a puck at `puck`, with a margin.
bool poseTouchesPuck(const Game& game, int player, int slide, int angle, Point2 puck, float margin);
