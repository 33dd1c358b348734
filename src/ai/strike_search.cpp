#include "ai/strike_search.h"

#include <cmath>
#include <cstdlib>

#include "ai/shot_trial.h"

namespace {
// Lines tried either side of the most open one (radians).
constexpr float kAims[] = {0.0f, -0.15f, 0.15f, -0.3f, 0.3f, -0.5f, 0.5f, -0.7f, 0.7f, -0.95f, 0.95f, -1.2f, 1.2f};
constexpr int kAimCount = static_cast<int>(sizeof kAims / sizeof kAims[0]);
constexpr float kSlideCost = 0.02f;  // value given up per slide step of the way to the strike
constexpr float kLookAgain = 0.05f;  // seconds before the strike that the player looks again
}  // namespace

void StrikeSearch::start(int team, PuckState puck, float aimAngle) {
    team_ = team;
    puck_ = puck;
    aim_ = aimAngle;
    next_ = 0;
    running_ = true;
    best_ = ShotPlan{};
    bestValue_ = -1.0e9f;
}

bool StrikeSearch::advance(const Game& game, float dt, float rate, const GoalMap* map, int budget) {
    if (!running_) return false;
    const int first = 6 * team_;
    while (budget > 0 && next_ < 6 * kAimCount) {
        const int i = first + next_ / kAimCount;
        const float aim = aim_ + kAims[next_ % kAimCount];
        ++next_;
        const ShotPlan plan = planShot(game, i, puck_.pos, aim);
        if (plan.quality < 0.0f) {
            next_ = (next_ + kAimCount - 1) / kAimCount * kAimCount;  // out of this figure's reach
            continue;
        }
        // The puck as it will be when the figure stands ready: slid and turned to its wind-up.
        const float turn = std::fabs(plan.contactAngle - static_cast<float>(plan.dir) * strike::kWindup -
                                     static_cast<float>(game.angle[i]));
        const float steps = std::fmax(static_cast<float>(std::abs(plan.slide - game.slide[i])),
                                      std::fmin(turn, 127.0f - turn));
        const PuckState then = forecastPuck(puck_, steps / rate + kLookAgain);
        const ShotPlan atThen = planShot(game, i, then.pos, aim);
        if (atThen.quality < 0.0f) continue;
        --budget;
        const float value = trialStrike(game, team_, atThen, then, dt, rate, map) -
                            kSlideCost * static_cast<float>(std::abs(atThen.slide - game.slide[i]));
        if (value > bestValue_) {
            bestValue_ = value;
            best_ = atThen;
            best_.quality = 1.0f;  // tried: worth the swing
            best_.tried = true;
        }
    }
    if (next_ < 6 * kAimCount) return false;
    running_ = false;
    return true;
}
