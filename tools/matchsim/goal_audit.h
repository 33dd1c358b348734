#pragma once
// Watches both machines frame by frame for goals counted twice or lost. Every goal is
// found by one puck step. On the creating machine it counts at once. On the joining
// machine it waits there until the creating machine credits the report of it, unless a
// creating-machine figure touched the puck first (the creating machine decides who has
// the puck, so its touch overrules a goal found on the other copy meanwhile). A credit
// with no goal waiting counts one twice; a goal still waiting at the end was lost.
#include "sim/game.h"
#include "tap_link.h"

class GoalAudit {
public:
    void beforeCreatingFrame(const Game& creating) {
        ownerBefore_ = creating.puckOwner;
        scoreBefore_[0] = creating.score[0];
        scoreBefore_[1] = creating.score[1];
    }
    void afterCreatingFrame(const Game& creating, const TapLink& tap);
    void beforeJoiningFrame(const Game& joining) { pauseBefore_ = joining.goalPause > 0.0f; }
    void afterJoiningFrame(const Game& joining, const Game& creating);

    int lost() const { return waiting_[0] + waiting_[1]; }
    int twice() const { return twice_; }
    int overruled() const { return overruled_; }

private:
    int ownerBefore_ = 0;
    int scoreBefore_[2] = {0, 0};
    bool pauseBefore_ = false;
    int waiting_[2] = {0, 0};
    int twice_ = 0, overruled_ = 0;
};
