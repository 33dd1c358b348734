#include "goal_audit.h"

void GoalAudit::afterCreatingFrame(const Game& creating, const TapLink& tap) {
    const StateMessage* heard = tap.heard();
    bool credited = false;
    for (int s = 0; s < 2; ++s) {
        const int gained = creating.score[s] - scoreBefore_[s];
        if (gained == 0) continue;
        if (gained != 1) {
            twice_ += gained > 1 ? gained - 1 : 1;  // a score never jumps or falls
            continue;
        }
        // Credited from a report exactly when the exchange does that.
        if (!(ownerBefore_ == 2 && heard && heard->goal == s + 1)) continue;
        credited = true;
        if (waiting_[s] > 0)
            --waiting_[s];
        else
            ++twice_;
    }
    if (ownerBefore_ == 2 && creating.puckOwner == 1 && !credited) {
        // Taken back by a touch: what the other copy found meanwhile no longer counts.
        overruled_ += waiting_[0] + waiting_[1];
        waiting_[0] = waiting_[1] = 0;
    }
}

void GoalAudit::afterJoiningFrame(const Game& joining, const Game& creating) {
    const int side = joining.flow.lastGoalSide;
    // Its own puck step found a goal: the puck now waits in the net for the answer.
    if (pauseBefore_ || joining.puckOwner != 2 || !(joining.goalPause > 0.0f) || (side != 1 && side != 2)) return;
    if (creating.puckOwner == 1)
        ++overruled_;  // found on a copy the creating machine had already taken back
    else
        ++waiting_[side - 1];
}
