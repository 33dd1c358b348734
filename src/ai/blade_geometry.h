#pragma once
// Where a figure's blade meets the puck, and whether a pose would touch it.
#include "sim/game.h"

// The angle (steps, -63.5..63.5) that lays the blade of `player` on a puck at `rel` from the
// figure, or false when the puck lies within the blade's own offset from the rod.
bool bladeAngleFor(int player, Point2 rel, float& angleSteps);

// Whether a figure standing at this pose would touch a puck at `puck`, with a margin.
bool poseTouchesPuck(const Game& game, int player, int slide, int angle, Point2 puck, float margin);
