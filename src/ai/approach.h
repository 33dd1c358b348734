#pragma once
// The way to a strike's ready pose, one frame at a time: slide and turn at a hand's pace,
// the blade turned back near the puck, and no move that would brush the puck. Made the same
// in play and on trial, so that a trial sees the figure arrive as it will.
#include "ai/axis_limiter.h"
#include "ai/shot_trial.h"

Pose approachStep(const Game& game, const Strike& strike, AxisLimiter& slideAxis, AxisLimiter& angleAxis, float rate,
                  float dt);
