#pragma once
// Where a figure's blade meets the puck, and whether a pose would touch it.
#include "sim/game.h"

// How far from a figure a resting puck can be struck by its blade: beyond the body, and
// within the blade's tip plus the puck's own radius, less a margin.
inline void bladeReach(int player, float& nearest, float& farthest) {
    nearest = rodOf(player) == 0 ? 6.5f : 7.0f;
    farthest = rodOf(player) == 0 ? 12.0f : 14.5f;
}

// The farthest a blade's tip meets a resting puck at all: for a puck no other blade reaches.
// A goalie's tip lies 10.25 from the rod and touches at 3.45 more, and it strikes as hard
// when it only just touches: the goal mouth short of the line is reached only so. A skater's
// is held further in: at the far corners its last tenth drove the puck deeper in.
inline float bladeTipReach(int player) { return rodOf(player) == 0 ? 13.65f : 16.3f; }

// The farthest any pose of a figure touches the puck: its blade's tip and the puck's radius,
// with no margin held back. A blade turned clear of the puck must stay beyond this.
float bladeTouchReach(int player);

// The angle (steps, -63.5..63.5) that lays the blade of `player` on a puck at `rel` from the
// figure, or false when the puck lies within the blade's own offset from the rod.
bool bladeAngleFor(int player, Point2 rel, float& angleSteps);

// Of the whole steps next to `estimate` (from bladeAngleFor), the one that lays the blade
// deepest in a puck at `puck`: at the very edge of the tip only one step touches it at all.
int bladeTouchStep(const Game& game, int player, int slide, Point2 puck, float estimate);

// Whether a figure standing at this pose would touch a puck at `puck`, with a margin.
bool poseTouchesPuck(const Game& game, int player, int slide, int angle, Point2 puck, float margin);
