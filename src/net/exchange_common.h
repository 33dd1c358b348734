#pragma once
// What both ends of the datagram exchange share.
#include <cmath>

#include "flow/screen_parts.h"
#include "net/state_message.h"
#include "platform/udp_link.h"
#include "sim/game.h"

namespace net {

using flow::kConnectionIndicator;  // the menu picture shown until the first datagram

inline DatagramLink& linkOf(Game& game) { return game.link ? *game.link : UdpLink::instance(); }

// At most one datagram per frame; anything that is not a usable StateMessage reads
// as nothing received.
inline bool receiveState(Game& game, StateMessage& message) {
    uint8_t buffer[DatagramLink::kMaxDatagram];
    const int length = linkOf(game).receive(buffer);
    return readStateMessage(buffer, length, message);
}

inline void sendState(Game& game, const StateMessage& message) {
    uint8_t bytes[kStateMessageSize];
    packStateMessage(message, bytes);
    linkOf(game).send(bytes, kStateMessageSize);
}

// The joining machine echoes the scores it last received in bytes 22 and 23, marked by
// bit 6, so that the zeros older copies write there read as no echo.
constexpr int kEchoMark = 0x40;
// Byte 20 of the joining machine's datagrams says, as the creating machine's does, whose
// puck it believes it is: its floats are then strikes on the creating machine's puck (1) or
// the place of its own (2). Without it a datagram crossing a hand-over is misread: a place
// taken for a strike flings the puck, a strike taken for a place puts it near the centre
// spot. A joining machine that writes 0 there leaves it to the creating machine's view.
constexpr int8_t kJoiningStrikes = 1;
constexpr int8_t kJoiningRunsPuck = 2;

// An impulse this strong, on either axis, is a strike by the joining side.
inline bool isStrike(float x, float z) {
    constexpr float kStrikeThreshold = 0.05f;
    return std::fabs(x) > kStrikeThreshold || std::fabs(z) > kStrikeThreshold;
}

inline int8_t echoScore(int score) { return lowByte(kEchoMark | (score & 0x3F)); }
inline int echoedScore(int8_t byte) { return (byte & kEchoMark) ? (byte & 0x3F) : -1; }  // -1: no echo

// Poses of one team into or out of a message; first is player 0 or 6.
inline void writePoses(const Game& game, int first, StateMessage& message) {
    for (int i = 0; i < 6; ++i) {
        message.slide[i] = lowByte(game.slide[first + i]);
        message.angle[i] = lowByte(game.angle[first + i]);
    }
}

inline void readPoses(Game& game, int first, const StateMessage& message) {
    for (int i = 0; i < 6; ++i) {
        game.slide[first + i] = message.slide[i];
        game.angle[first + i] = message.angle[i];
    }
}

inline void setPuck(Game& game, float x, float z) {
    game.puckPos[0] = x;
    game.puckPos[1] = z;
    game.puckModel->position = {x, 0.0f, z};
}

// The other machine's puck, placed here, and its motion read from the last two places
// (`seenPuckAge` counts the seconds between them): a machine that takes the puck over starts
// it on that motion, not on whatever its own copy had when it last ran it.
inline void seePuck(Game& game, float x, float z) {
    constexpr float kFastestPuck = 90.0f;  // the puck step's speed cap
    FlowState& flow = game.flow;
    if (flow.seenPuckAge > 0.0f) {
        const float vx = (x - game.puckPos[0]) / flow.seenPuckAge, vz = (z - game.puckPos[1]) / flow.seenPuckAge;
        // A jump (a goal, the centre spot, a datagram held back) is no motion.
        const bool moving = std::sqrt(vx * vx + vz * vz) <= kFastestPuck;
        flow.seenPuckVel[0] = moving ? vx : 0.0f;
        flow.seenPuckVel[1] = moving ? vz : 0.0f;
    }
    flow.seenPuckAge = 0.0f;
    setPuck(game, x, z);
}

// The puck taken over from the other machine: moving as it was seen to move there.
inline void takePuck(Game& game) {
    game.puckVel[0] = game.flow.seenPuckVel[0];
    game.puckVel[1] = game.flow.seenPuckVel[1];
}

}  // namespace net
