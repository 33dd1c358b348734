#pragma once
// Where the puck will be: the game's friction, speed cap and board bounces, run on a copy
// of its position and velocity in coarse steps. Figures are left out; a player reads the
// glide, not every bounce.
#include "sim/game.h"

struct PuckState {
    Point2 pos;
    Point2 vel;
};

// The puck after `seconds` of gliding.
PuckState forecastPuck(PuckState puck, float seconds);

// Where a puck left alone comes to rest: 20 s of glide slow any puck to a stop.
inline Point2 puckRestsAt(PuckState puck) { return forecastPuck(puck, 20.0f).pos; }

// True when the puck has all but stopped.
inline bool puckAtRest(const PuckState& puck) { return puck.vel.x * puck.vel.x + puck.vel.z * puck.vel.z < 4.0f; }
