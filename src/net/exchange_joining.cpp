// The joining machine's side of a network match: it plays team 1, starts the
// exchange and keeps it going with a resend while nothing arrives.
#include "net/exchange_common.h"

using namespace net;

namespace {

constexpr float kResendInterval = 0.5f;
constexpr float kGoalPause = 1.6f;         // a goal celebrated on the creating machine's word
constexpr float kLocalGoalPause = 1.5f;    // a goal found here: the puck waits for the answer

StateMessage joiningMessage(Game& game) {
    StateMessage out;
    writePoses(game, 6, out);
    if (game.puckOwner == 1) {
        out.x = game.puckImpulse[0];
        out.z = game.puckImpulse[1];
        out.owner = kJoiningStrikes;
        out.goal = 0;
        if (isStrike(out.x, out.z)) {
            game.flow.strikeSent[0] = out.x;
            game.flow.strikeSent[1] = out.z;
        }
    } else {
        out.x = game.puckPos[0];
        out.z = game.puckPos[1];
        out.owner = kJoiningRunsPuck;
        out.goal = lowByte(game.flow.lastGoalSide);
    }
    out.score[0] = echoScore(game.score[0]);
    out.score[1] = echoScore(game.score[1]);
    // The impulse has been passed on (or belongs to the puck already stepped).
    game.puckImpulse[0] = 0.0f;
    game.puckImpulse[1] = 0.0f;
    return out;
}

void joiningPuckStep(Game& game, float dt) {
    if (!(game.goalPause > 0.0f)) {
        game.flow.lastGoalSide = game.stepPuck(dt);
        if (game.flow.lastGoalSide == 1 || game.flow.lastGoalSide == 2) game.goalPause = kLocalGoalPause;
    }
    game.puckImpulse[0] = 0.0f;
    game.puckImpulse[1] = 0.0f;
}

}  // namespace

void Game::joiningExchange(bool /*ownContact*/, float dt) {
    StateMessage in;
    if (receiveState(*this, in)) {
        menuPictures[kConnectionIndicator].visible = false;
        flow.clientResendTimer = 0.0f;
        readPoses(*this, 0, in);
        score[0] = in.score[0];
        score[1] = in.score[1];

        if (puckOwner == 1) {
            if (in.owner == 2) {
                // Handed over by a strike from here, which the creating machine drops: it
                // starts this copy, on the motion the puck had there. Whatever this copy
                // last had is long past.
                puckOwner = 2;
                takePuck(*this);
                puckVel[0] += flow.strikeSent[0];
                puckVel[1] += flow.strikeSent[1];
                flow.strikeSent[0] = flow.strikeSent[1] = 0.0f;
            } else {
                seePuck(*this, in.x, in.z);
            }
            if (in.goal == 0)
                goalPause = -1.0f;
            else if (!(goalPause > 0.0f))
                celebrateGoal(kGoalPause, in.score[0] == kWinningScore || in.score[1] == kWinningScore);
        } else if (in.owner == 1) {
            // The creating machine took the puck back, moving as this copy did.
            flow.seenPuckVel[0] = puckVel[0];
            flow.seenPuckVel[1] = puckVel[1];
            flow.seenPuckAge = 0.0f;
            setPuck(*this, in.x, in.z);
            puckOwner = 1;
        }
        // A decided match ends here as well. The deciding goal may be one this machine
        // found itself: its own pause then kept the goal reports from being celebrated.
        const bool decided = in.score[0] == kWinningScore || in.score[1] == kWinningScore;
        if (decided && !(flow.matchEndCountdown > 0.0f)) celebrateGoal(kGoalPause, true);

        for (int p = 0; p < 6; ++p) placePlayerModel(p);
        if (puckOwner == 2) joiningPuckStep(*this, dt);
        sendState(*this, joiningMessage(*this));
    } else if (puckOwner == 2) {
        joiningPuckStep(*this, dt);
    }

    flow.clientResendTimer += dt;
    flow.seenPuckAge += dt;
    if (flow.clientResendTimer > kResendInterval) {
        flow.clientResendTimer = 0.0f;
        sendState(*this, joiningMessage(*this));
    }
}
