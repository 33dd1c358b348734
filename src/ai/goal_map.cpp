#include "ai/goal_map.h"

#include <cmath>

#include "ai/shot_trial.h"

namespace {
constexpr float kStillBeforeBuilding = 0.5f;  // seconds the other team must keep still
constexpr int kTrialsPerFrame = 2;  // strikes tried each frame
constexpr float kGoalValue = 50.0f;  // a trial worth this much scored
constexpr float kAims[] = {0.0f, -0.2f, 0.2f, -0.45f, 0.45f, -0.8f, 0.8f};
constexpr int kAimCount = static_cast<int>(sizeof kAims / sizeof kAims[0]);
}  // namespace

bool GoalMap::sameDefence(const Game& game, int team) const {
    const int other = 6 * (1 - team);
    for (int i = 0; i < 6; ++i)
        if (defence_[2 * i] != game.slide[other + i] || defence_[2 * i + 1] != game.angle[other + i]) return false;
    return true;
}

void GoalMap::build(const Game& game, int team, float dt, float rate) {
    if (!sameDefence(game, team)) {
        const int other = 6 * (1 - team);
        for (int i = 0; i < 6; ++i) {
            defence_[2 * i] = game.slide[other + i];
            defence_[2 * i + 1] = game.angle[other + i];
        }
        stillFor_ = 0.0f;
        next_ = 0;
        tried_ = 0;
        started_ = false;
        for (uint8_t& c : cells_) c = Unknown;
        return;
    }
    stillFor_ += dt;
    if (stillFor_ < kStillBeforeBuilding) return;
    started_ = true;
    const float attack = team == 0 ? 1.0f : -1.0f;
    int budget = kTrialsPerFrame;
    while (budget > 0 && next_ < kColumns * kRows) {
        const Point2 at{(static_cast<float>(next_ % kColumns) - 11.0f) * kCell,
                        (static_cast<float>(next_ / kColumns) - 23.0f) * kCell};
        // The own end is no place to shoot from, nor a place no figure reaches.
        if (tried_ == 0 && (at.z * attack < -20.0f || !teamReaches(game, team, at))) {
            cells_[next_++] = Misses;
            continue;
        }
        const int i = 6 * team + tried_ / kAimCount;
        const float straight = std::atan2(88.0f * attack - at.z, -at.x);
        const ShotPlan plan = planShot(game, i, at, straight + kAims[tried_ % kAimCount]);
        bool scores = false;
        if (plan.quality < 0.0f) {
            tried_ = (tried_ / kAimCount + 1) * kAimCount;  // out of this figure's reach
        } else {
            --budget;
            ++tried_;
            scores = trialStrike(game, team, plan, PuckState{at, {0.0f, 0.0f}}, dt, rate, nullptr) > kGoalValue;
        }
        if (scores || tried_ >= 6 * kAimCount) {
            cells_[next_++] = scores ? Scores : Misses;
            tried_ = 0;
        }
    }
}

float GoalMap::chance(Point2 at) const {
    if (!started_) return 0.0f;
    const int cx = static_cast<int>(std::lround(at.x / kCell)) + 11, cz = static_cast<int>(std::lround(at.z / kCell)) + 23;
    float best = 0.0f;
    for (int dz = -1; dz <= 1; ++dz)
        for (int dx = -1; dx <= 1; ++dx) {
            const int x = cx + dx, z = cz + dz;
            if (x < 0 || x >= kColumns || z < 0 || z >= kRows) continue;
            if (cells_[z * kColumns + x] == Scores) best = std::fmax(best, dx == 0 && dz == 0 ? 1.0f : 0.5f);
        }
    return best;
}
