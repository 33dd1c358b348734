#pragma once
// Drives one machine of a network match frame by frame, as the program does (steer,
// move the own team, the exchange, camera and score markers through matchFrame), while
// a peer socket plays the other machine with the fuzzer's datagrams. Real loopback
// sockets: loopback delivery happens within the send call, so a run is repeatable.
//
// Input: a header (puck owner, scores, goal pause, puck position and speed, detail,
// sound, selected rod), then frames. Each frame: a control byte (datagrams to send
// before it: 0..3; Q, W and digit keys), a frame-time byte, mouse x and y, and per
// datagram a kind byte (below 160: a 24-byte state message; 160..254: 0..94 bytes of
// anything; 255: 130 bytes, more than a link reads) followed by its bytes.
#include <cmath>
#include <cstring>

#include "fuzz_support.h"
#include "input/key_buffer.h"
#include "input/mouse_state.h"
#include "net/state_message.h"
#include "platform/udp_link.h"
#include "sim/game.h"

namespace fuzz {

class LinkPair {
public:
    // mode Create: the machine binds and the peer sends to it. Join: the peer binds and
    // the machine sends to it; the peer learns the machine's address from a first byte.
    explicit LinkPair(int mode) : mode_(mode) { open(); }

    void open() {
        machine.close();
        peer.close();
        if (mode_ == Create) {
            fuzzCheck(machine.openServerOn(0, "127.000.000.001"), "bind machine");
            fuzzCheck(peer.openClient(machine.boundPort(), "127.000.000.001"), "open peer");
        } else {
            fuzzCheck(peer.openServerOn(0, "127.000.000.001"), "bind peer");
            fuzzCheck(machine.openClient(peer.boundPort(), "127.000.000.001"), "open machine");
            const uint8_t hello = 0;
            machine.send(&hello, 1);
            fuzzCheck(peer.waitForDatagram(1000), "peer hears the machine");
            uint8_t buffer[UdpLink::kMaxDatagram];
            peer.receive(buffer);
        }
    }

    // Takes everything queued on a link; returns how many datagrams that was.
    static int drain(UdpLink& link, void (*onEach)(const uint8_t*, int) = nullptr) {
        int count = 0;
        uint8_t buffer[UdpLink::kMaxDatagram];
        while (link.waitForDatagram(0)) {
            const int n = link.receive(buffer);
            if (onEach) onEach(buffer, n);
            ++count;
        }
        return count;
    }

    UdpLink machine, peer;

private:
    int mode_;
};

inline void checkReply(const uint8_t* bytes, int length) {
    fuzzCheck(length == kStateMessageSize, "reply of 24 bytes", length);
    StateMessage m;
    fuzzCheck(readStateMessage(bytes, length, m), "reply readable (finite floats)");
}

inline void checkPuck(const Game& g) {
    fuzzCheck(finite2(g.puckPos), "puck position finite", g.puckPos[0], g.puckPos[1]);
    fuzzCheck(finite2(g.puckVel), "puck velocity finite", g.puckVel[0], g.puckVel[1]);
    // Through a goal pause the creating machine adds up the other side's strikes without
    // using them, and throws the sum away when the pause ends; a run of huge (finite)
    // floats may overflow it meanwhile. Everywhere else the impulse is finite when used.
    const bool creatingInPause = g.flow.matchMode == Create && g.flow.lastGoalSide > 0;
    if (!creatingInPause)
        fuzzCheck(finite2(g.puckImpulse), "puck impulse finite", g.puckImpulse[0], g.puckImpulse[1]);
    const Vec3& at = g.puckModel->position;
    fuzzCheck(std::isfinite(at.x) && std::isfinite(at.y) && std::isfinite(at.z), "puck model finite", at.x, at.z);
    fuzzCheck(std::hypot(g.puckVel[0], g.puckVel[1]) <= 90.01f, "puck speed capped", g.puckVel[0], g.puckVel[1]);
    fuzzCheck(std::isfinite(g.goalPause), "goal pause finite", g.goalPause);
}

// The state entering a network match leaves behind, then the header's variations.
inline void startMatch(Game& g, int mode, FuzzBytes& in) {
    g.flow.screen = Match;
    g.flow.matchMode = mode;
    g.flow.sessionOpen = 1;
    g.flow.lastGoalSide = 0;
    g.flow.clientResendTimer = 0.0f;
    g.flow.matchEndCountdown = -1.0f;
    g.puckOwner = 2;
    g.resetFaceOff();
    g.menuPictures[6].visible = true;

    const uint8_t flags = in.byte();
    g.puckOwner = (flags & 1) ? 1 : 2;
    g.highDetail = (flags >> 1) & 1;
    g.soundOn = (flags >> 2) & 1;
    static const float pauses[] = {-1.0f, 0.05f, 1.5f, 1.6f, 8.5f, 0.0f, -1.0f, -1.0f};
    g.goalPause = pauses[(flags >> 5) & 7];
    // A goal side is only ever set together with its pause.
    g.flow.lastGoalSide = g.goalPause > 0.0f ? (flags >> 3) % 3 : 0;
    g.score[0] = in.byte() % 10;
    g.score[1] = in.byte() % 10;
    g.puckPos[0] = static_cast<float>(in.signedByte()) * 0.45f;  // across the rink, +-57
    g.puckPos[1] = static_cast<float>(in.signedByte()) * 0.9f;   // along it, +-115
    g.puckModel->position = {g.puckPos[0], 0.0f, g.puckPos[1]};
    g.puckVel[0] = static_cast<float>(in.signedByte()) * 0.35f;  // within the speed cap
    g.puckVel[1] = static_cast<float>(in.signedByte()) * 0.35f;
    const int team = mode == Create ? 0 : 1;
    g.selectedRod[team] = 6 * team + in.byte() % 6;
}

// One run: returns after the input is used up or the match ended on its own.
inline void runMatch(LinkPair& links, int mode, const uint8_t* data, size_t size) {
    LinkPair::drain(links.machine);
    LinkPair::drain(links.peer);

    FuzzBytes in(data, size);
    KeyBuffer& keys = KeyBuffer::instance();
    MouseState& mouse = MouseState::instance();
    std::memset(keys.bytes, 0, sizeof keys.bytes);
    mouse.deltaX = mouse.deltaY = 0;
    mouse.leftButton = 0;

    Game g;
    g.link = &links.machine;
    startMatch(g, mode, in);
    checkPuck(g);

    for (int frame = 0; !in.empty() && frame < 4000; ++frame) {
        const uint8_t control = in.byte();
        const int datagrams = control & 3;
        keys.bytes[key::Q] = (control & 4) ? 0x80 : 0;
        keys.bytes[key::W] = (control & 8) ? 0x80 : 0;
        for (int k = 0; k < 6; ++k) keys.bytes[key::Digit1 + k] = 0;
        if (control & 16) keys.bytes[key::Digit1 + (control >> 5) % 6] = 0x80;
        const float dt = (static_cast<float>(in.byte()) + 1.0f) * (0.1f / 256.0f);
        mouse.deltaX = in.signedByte();
        mouse.deltaY = in.signedByte();

        for (int d = 0; d < datagrams; ++d) {
            const uint8_t kind = in.byte();
            const int length = kind < 160 ? kStateMessageSize : kind < 255 ? kind - 160 : 130;
            uint8_t bytes[130];
            in.copy(bytes, static_cast<size_t>(length));
            links.peer.send(bytes, length);
        }
        if (datagrams > 0) links.machine.waitForDatagram(50);

        fuzzCheck(g.matchFrame(dt), "the match goes on without Esc");
        checkPuck(g);
        if (mode == Create) {
            fuzzCheck(g.score[0] >= 0 && g.score[0] <= 10 && g.score[1] >= 0 && g.score[1] <= 10,
                      "creating machine's score within 0..10", g.score[0], g.score[1]);
        }

        // The creating machine only replies, one per datagram; the joining one replies
        // and may resend in the same frame.
        const int sent = LinkPair::drain(links.peer, checkReply);
        fuzzCheck(sent <= (mode == Create ? 1 : 2), "datagrams sent in one frame", sent);

        if (g.flow.screen != Match) {
            links.open();  // leaving the match closed the link
            return;
        }
    }
}

}  // namespace fuzz
