#pragma once
// Where the puck will be: the game's friction, speed cap and board bounces, run on a copy
// of its position and velocity in coarse steps. Figures are left out; a player reads the
// glide, not every bounce.
#include "sim/game.h"

struct PuckState {
    Point2 pos;
    Point2 vel;
};

// The puck after `seconds` of gliding (at most a couple of seconds are ever asked).
PuckState forecastPuck(PuckState puck, float seconds);

// True when the puck has all but stopped.
inline bool puckAtRest(const PuckState& puck) { return puck.vel.x * puck.vel.x + puck.vel.z * puck.vel.z < 4.0f; }
