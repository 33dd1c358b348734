#pragma once
// Trying a strike before making it: the game's own figures and puck step, run on a private
// copy of the rink as it stands, tell where the puck would go.
#include "ai/goal_map.h"
#include "ai/puck_forecast.h"
#include "ai/shot_plan.h"

// How good the strike is for `team`, made on the puck as given: a goal scores high (the sooner the better), an own goal
// low; otherwise it counts where the puck comes to rest: nearer the other goal is better,
// and a rest that none of the own figures can reach costs.
// The strike is made at `rate` steps a second in frames of `dt` seconds.
// `map`, when given, values a rest from which the next strike is known to score.
float trialStrike(const Game& game, int team, const ShotPlan& plan, const PuckState& puck, float dt, float rate,
                  const GoalMap* map);

// Whether any figure of `team` can reach a puck resting at `at`.
bool teamReaches(const Game& game, int team, Point2 at);
