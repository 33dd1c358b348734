#pragma once
// Watches both machines frame by frame for goals counted twice or lost. Every goal is
// found by one puck step: on the creating machine it counts at once; on the joining
// machine it waits there until the creating machine credits the report of it. A credit
// with no such goal waiting counts a goal twice; a goal still waiting at the end was lost.
#include "sim/game.h"
#include "tap_link.h"

class GoalAudit {
public:
    void beforeCreatingFrame(const Game& creating) {
        ownerBefore_ = creating.puckOwner;
        scoreBefore_[0] = creating.score[0];
        scoreBefore_[1] = creating.score[1];
    }
    void afterCreatingFrame(const Game& creating, const TapLink& tap) {
        const StateMessage* heard = tap.heard();
        for (int s = 0; s < 2; ++s) {
            const int gained = creating.score[s] - scoreBefore_[s];
            if (gained == 0) continue;
            if (gained != 1) {
                twice_ += gained > 1 ? gained - 1 : 1;  // a score never jumps or falls
                continue;
            }
            // Credited from a report exactly when the exchange does that.
            const bool fromReport = ownerBefore_ == 2 && heard && heard->goal == s + 1;
            if (!fromReport) continue;
            if (waiting_[s] > 0)
                --waiting_[s];
            else
                ++twice_;
        }
    }
    void beforeJoiningFrame(const Game& joining) { pauseBefore_ = joining.goalPause > 0.0f; }
    void afterJoiningFrame(const Game& joining) {
        const int side = joining.flow.lastGoalSide;
        // Its own puck step found a goal: the puck now waits in the net for the answer.
        if (!pauseBefore_ && joining.puckOwner == 2 && joining.goalPause > 0.0f && (side == 1 || side == 2))
            ++waiting_[side - 1];
    }

    int lost() const { return waiting_[0] + waiting_[1]; }
    int twice() const { return twice_; }

private:
    int ownerBefore_ = 0;
    int scoreBefore_[2] = {0, 0};
    bool pauseBefore_ = false;
    int waiting_[2] = {0, 0};
    int twice_ = 0;
};
