// The creating machine's side of a network match: it plays team 0, keeps the score
// and only ever replies, one datagram for each datagram it receives.
#include "net/exchange_common.h"

using namespace net;

namespace {

constexpr float kLongestEndHold = 5.0f;    // the winning goal's pause runs out about then

StateMessage creatingReply(Game& game) {
    StateMessage reply;
    writePoses(game, 0, reply);
    if (game.puckOwner == 1) {
        reply.x = game.puckPos[0];
        reply.z = game.puckPos[1];
        reply.owner = 1;
        reply.goal = game.goalPause > 0.0f ? lowByte(game.flow.lastGoalSide) : 0;
    } else {
        reply.x = 0.0f;
        reply.z = 0.0f;
        reply.owner = 2;
        reply.goal = 0;
        // The strike that handed the puck over stays with the other side's own copy.
        game.puckImpulse[0] = 0.0f;
        game.puckImpulse[1] = 0.0f;
    }
    reply.score[0] = lowByte(game.score[0]);
    reply.score[1] = lowByte(game.score[1]);
    return reply;
}

}  // namespace

void Game::creatingExchange(bool ownContact, float dt) {
    flow.seenPuckAge += dt;
    StateMessage in;
    if (!receiveState(*this, in)) {
        // Under loss most frames bring no datagram. A strike in one of them takes the puck
        // back at once: a puck left for the next datagram would stand under the blade, which
        // would push it again in every frame until then, and all those pushes would fly. A
        // figure that only stands against the shown puck does not: the joining machine's
        // puck may be far on by now, or in a goal.
        const bool connected = !menuPictures[kConnectionIndicator].visible;
        if (puckOwner == 2 && ownContact && connected && isStrike(puckImpulse[0], puckImpulse[1])) {
            puckOwner = 1;
            takePuck(*this);
            flow.puckTakenUntold = 1;
        }
        if (puckOwner == 1) advancePlay(dt);
        return;  // nothing to answer
    }
    const bool untold = flow.puckTakenUntold;
    flow.puckTakenUntold = 0;  // this frame's reply tells

    menuPictures[kConnectionIndicator].visible = false;
    readPoses(*this, 6, in);
    const int echoed[2] = {echoedScore(in.score[0]), echoedScore(in.score[1])};
    if (echoed[0] >= 0 && echoed[1] >= 0) {
        flow.peerEchoesScore = 1;
        if (echoed[0] >= kWinningScore || echoed[1] >= kWinningScore) flow.peerHasFinalScore = 1;
    }

    if (puckOwner == 1) {
        // The joining team's strikes reach this machine's puck. A goal report is no
        // strike: the joining machine sends it only with its own puck's place, and one
        // still arriving after this machine took the puck back (its answers lost) would
        // otherwise hand the puck over and have the same goal credited again. Nor is the place
        // of a puck the joining machine still runs, not yet told that this machine took it
        // (from a machine that does not say whose puck it believes it is, the first datagram
        // after a take-back between two datagrams).
        if (in.goal == 1 || in.goal == 2 || in.owner == kJoiningRunsPuck || (untold && in.owner != kJoiningStrikes))
            in.x = in.z = 0.0f;
        puckImpulse[0] += in.x;
        puckImpulse[1] += in.z;
        if (isStrike(in.x, in.z) && !ownContact) {
            puckOwner = 2;
            flow.seenPuckAge = 0.0f;  // the joining machine's places start from this one
        }
    } else if (in.owner != kJoiningStrikes) {  // a strike sent before it heard of the hand-over is lost
        // A touch takes the puck back where this machine's figure met it, moving as it was
        // seen to move: the place arriving with the touch may lie past that figure by now
        // (a datagram or two lost), and the puck would go through the figure that stopped it.
        if (!ownContact || in.goal == 1 || in.goal == 2) seePuck(*this, in.x, in.z);
        // A report sent before this machine credited it echoes the score from before.
        const bool credited = echoed[0] >= 0 && echoed[1] >= 0 && in.goal >= 1 && in.goal <= 2 &&
                              echoed[in.goal - 1] != score[in.goal - 1];
        if ((in.goal == 1 || in.goal == 2) && !credited) {
            // A goal found by the joining machine: credited here, once, since the
            // puck comes back to this machine with it.
            puckModel->position = {in.x, -1.5f, in.z};
            flow.lastGoalSide = in.goal;
            puckOwner = 1;
            scoreGoal(in.goal);
        }
    }

    for (int p = 6; p < 12; ++p) placePlayerModel(p);

    if (puckOwner == 2 && ownContact) {
        puckOwner = 1;
        takePuck(*this);  // and this machine's strike, in its impulse, goes into this frame's step
    }
    if (puckOwner == 1) advancePlay(dt);
    if (flow.lastGoalSide > 0) puckOwner = 1;  // the puck stays here through a goal pause

    sendState(*this, creatingReply(*this));
}

bool Game::holdMatchEnd(float dt) {
    // Its answers with the final score may all have been lost; a joining machine that
    // does not echo is never waited for.
    if (!flow.peerEchoesScore || flow.peerHasFinalScore || flow.endHeld >= kLongestEndHold) return false;
    flow.endHeld += dt;
    return true;
}
