#pragma once
// Two machines of a network match in one process: a creating and a joining Game, each
// with its own link on real loopback sockets, stepped frame by frame. A test may also
// play either machine by hand through that machine's link.
#include <gtest/gtest.h>

#include <cstring>

#include "net/state_message.h"
#include "platform/udp_link.h"
#include "sim/game.h"

constexpr float kDt = 1.0f / 60.0f;

// The state entering a network match leaves a Game in.
inline void startNetworkMatch(Game& g, int mode) {
    g.flow.matchMode = mode;
    g.flow.sessionOpen = 1;
    g.flow.lastGoalSide = 0;
    g.flow.clientResendTimer = 0.0f;
    g.flow.matchEndCountdown = -1.0f;
    g.puckOwner = 2;
    g.resetFaceOff();
    g.menuPictures[6].visible = true;
}

// Face-off poses of one team as the other machine would send them.
inline StateMessage poseMessage(int slideShift = 0) {
    StateMessage m;
    const int slides[6] = {25, 10, 25, 1, 25, 10};
    for (int i = 0; i < 6; ++i) {
        m.slide[i] = static_cast<int8_t>(slides[i] + slideShift);
        m.angle[i] = 96;
    }
    return m;
}

class Peers {
public:
    explicit Peers(const char* bindAddress = nullptr, const char* joinAddress = "127.000.000.001") {
        const bool bound = bindAddress ? creatingLink.openServerOn(0, bindAddress) : creatingLink.openServer(0);
        EXPECT_TRUE(bound);
        port = creatingLink.boundPort();
        EXPECT_TRUE(joiningLink.openClient(port, joinAddress));
        creating.link = &creatingLink;
        joining.link = &joiningLink;
        startNetworkMatch(creating, Create);
        startNetworkMatch(joining, Join);
    }

    // Loopback delivers within the send call in practice; the short wait only guards
    // against a busy machine and costs nothing when a datagram is queued.
    void creatingFrame(bool ownContact = false, float dt = kDt) {
        creatingLink.waitForDatagram(2);
        creating.creatingExchange(ownContact, dt);
    }
    void joiningFrame(float dt = kDt) {
        joiningLink.waitForDatagram(2);
        joining.joiningExchange(false, dt);
    }
    void frame(bool creatingContact = false, float dt = kDt) {
        creatingFrame(creatingContact, dt);
        joiningFrame(dt);
    }

    // Playing the joining machine by hand.
    void sendAsJoining(const StateMessage& m) { sendRaw(joiningLink, m); }
    // Playing the creating machine by hand: it first has to hear from the joining link.
    void introduce() {
        const uint8_t one = 0;
        joiningLink.send(&one, 1);
        uint8_t buffer[UdpLink::kMaxDatagram];
        ASSERT_TRUE(creatingLink.waitForDatagram(500));
        ASSERT_EQ(creatingLink.receive(buffer), 1);
    }
    void sendAsCreating(const StateMessage& m) { sendRaw(creatingLink, m); }

    // What reached a link, taken off it. False when nothing (usable) is waiting.
    static bool take(UdpLink& at, StateMessage& out, int waitMilliseconds = 50) {
        if (!at.waitForDatagram(waitMilliseconds)) return false;
        uint8_t buffer[UdpLink::kMaxDatagram];
        const int n = at.receive(buffer);
        return readStateMessage(buffer, n, out);
    }
    static bool quiet(UdpLink& at, int waitMilliseconds = 5) { return !at.waitForDatagram(waitMilliseconds); }
    static void drop(UdpLink& at) {
        uint8_t buffer[UdpLink::kMaxDatagram];
        ASSERT_TRUE(at.waitForDatagram(500));
        at.receive(buffer);
    }
    static void sendRaw(DatagramLink& from, const StateMessage& m) {
        uint8_t bytes[kStateMessageSize];
        packStateMessage(m, bytes);
        ASSERT_EQ(from.send(bytes, kStateMessageSize), kStateMessageSize);
    }

    UdpLink creatingLink, joiningLink;
    Game creating, joining;
    int port = 0;
};
