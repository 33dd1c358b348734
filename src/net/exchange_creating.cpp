// The creating machine's side of a network match: it plays team 0, keeps the score
// and only ever replies, one datagram for each datagram it receives.
#include <cmath>

#include "net/exchange_common.h"

using namespace net;

namespace {

constexpr float kStrikeThreshold = 0.05f;  // an impulse this strong is a strike by the other side

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
    StateMessage in;
    if (!receiveState(*this, in)) {
        if (puckOwner == 1) advancePlay(dt);
        return;  // nothing to answer
    }

    menuPictures[kConnectionIndicator].visible = false;
    readPoses(*this, 6, in);

    if (puckOwner == 1) {
        // The joining team's strikes reach this machine's puck.
        puckImpulse[0] += in.x;
        puckImpulse[1] += in.z;
        if ((std::fabs(in.x) > kStrikeThreshold || std::fabs(in.z) > kStrikeThreshold) && !ownContact)
            puckOwner = 2;
    } else {
        setPuck(*this, in.x, in.z);
        if (in.goal == 1 || in.goal == 2) {
            // A goal found by the joining machine: credited here, once, since the
            // puck comes back to this machine with it.
            puckModel->position = {in.x, -1.5f, in.z};
            flow.lastGoalSide = in.goal;
            puckOwner = 1;
            scoreGoal(in.goal);
        }
    }

    for (int p = 6; p < 12; ++p) placePlayerModel(p);

    if (puckOwner == 2 && ownContact) puckOwner = 1;
    if (puckOwner == 1) advancePlay(dt);
    if (flow.lastGoalSide > 0) puckOwner = 1;  // the puck stays here through a goal pause

    sendState(*this, creatingReply(*this));
}
