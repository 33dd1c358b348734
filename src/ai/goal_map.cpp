#include "ai/goal_map.h"

#include <cmath>

#include "ai/shot_trial.h"

namespace {
constexpr float kStillBeforeBuilding = 0.5f;  // seconds the other team must keep still
constexpr int kCellsPerFrame = 1;
constexpr float kAims[] = {0.0f, -0.2f, 0.2f, -0.45f, 0.45f, -0.8f, 0.8f};
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
        started_ = false;
        for (uint8_t& c : cells_) c = Unknown;
        return;
    }
    stillFor_ += dt;
    if (stillFor_ < kStillBeforeBuilding) return;
    started_ = true;
    const float attack = team == 0 ? 1.0f : -1.0f;
    for (int done = 0; done < kCellsPerFrame && next_ < kColumns * kRows; ++next_) {
        const Point2 at{(static_cast<float>(next_ % kColumns) - 11.0f) * kCell,
                        (static_cast<float>(next_ / kColumns) - 23.0f) * kCell};
        // The own end is no place to shoot from, nor a place no figure reaches.
        if (at.z * attack < -20.0f || !teamReaches(game, team, at)) {
            cells_[next_] = Misses;
            continue;
        }
        ++done;
        cells_[next_] = Misses;
        const PuckState puck{at, {0.0f, 0.0f}};
        const float straight = std::atan2(88.0f * attack - at.z, -at.x);
        for (int i = 6 * team; i < 6 * team + 6 && cells_[next_] == Misses; ++i) {
            for (float offset : kAims) {
                const ShotPlan plan = planShot(game, i, at, straight + offset);
                if (plan.quality < 0.0f) break;  // out of this figure's reach
                if (trialStrike(game, team, plan, puck, dt, rate, nullptr) > 50.0f) {
                    cells_[next_] = Scores;
                    break;
                }
            }
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
