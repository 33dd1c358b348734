#pragma once
// Where on the rink a single strike scores against the other team as it stands: built a few
// places a frame by trying strikes on a copy of the rink, while that team keeps still (a
// team that moves changes the answers faster than they could be found).
#include <cstdint>

#include "sim/game.h"

class GoalMap {
public:
    // One frame's share of the building, for `team` striking at `rate` in frames of `dt`.
    void build(const Game& game, int team, float dt, float rate);
    // 1 where a strike from `at` was found to score, 0.5 beside such a place, else 0.
    float chance(Point2 at) const;

private:
    static constexpr int kColumns = 23, kRows = 47;  // 5-unit places over the whole rink
    static constexpr float kCell = 5.0f;
    enum : uint8_t { Unknown, Scores, Misses };
    bool sameDefence(const Game& game, int team) const;
    int defence_[12] = {};
    float stillFor_ = 0.0f;
    int next_ = 0;   // the place being tried
    int tried_ = 0;  // strikes tried there: figure by figure, line by line
    bool started_ = false;
    uint8_t cells_[kColumns * kRows] = {};
};
