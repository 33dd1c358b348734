#pragma once
// The seven meshes. Figures are built in the game's world units (the collision frame)
// and written divided by the scale the game applies when it loads them.
#include "mesh.h"

constexpr float kSkaterLoadScale = 0.8f;
constexpr float kGoalieLoadScale = 0.9f;

Mesh buildSkater(bool highDetail);
Mesh buildGoalie(bool highDetail);
Mesh buildRink();
Mesh buildGoal();
Mesh buildPuck();
