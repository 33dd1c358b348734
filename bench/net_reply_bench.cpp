// Network latency in frames: how many frames pass between a datagram's arrival and the
// reply leaving, for both machines. Two games enter a network match over loopback as the
// menus do it and run Game::update frame by frame in turn, with the mouse moving their
// figures. Before a machine's frame the bench notes whether a datagram waits for it; after
// the frame, whether one reached the other side. Target: every reply in the frame that
// took the datagram (0 frames).
//
// Between two processes (a Windows copy under Wine against a Linux copy), each runs one game
// and forwards its datagrams through a tap of its own: the game talks to the tap over
// loopback, the tap to the other process. The tap is read only between frames, so a reply
// seen there after a frame left in that frame; the forwarding adds no frame on either side.
//
// Usage: net_reply_bench [FRAMES per machine, default 20000]      both games in this process
//        net_reply_bench create FRAMES                           one side; prints "port N"
//        net_reply_bench join FRAMES PORT                        joins the creating process
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>

#include "input/key_buffer.h"
#include "input/mouse_state.h"
#include "platform/udp_link.h"
#include "sim/game.h"

namespace {

struct Side {
    const char* name = "";
    Game* game = nullptr;
    UdpLink* in = nullptr;   // this machine's link
    UdpLink* out = nullptr;  // the other machine's link, where its sends arrive
    long pendingSince = -1;            // frame a waiting datagram was first seen, -1: none
    std::map<long, long> framesToReply;  // frames between arrival and reply -> count
    long unanswered = 0;
};

void frame(Side& s, long index, float dt) {
    const bool waiting = s.in->waitForDatagram(0);
    if (waiting && s.pendingSince < 0) s.pendingSince = index;
    s.game->update(dt);
    const bool sent = s.out->waitForDatagram(0);
    if (sent && s.pendingSince >= 0) {
        ++s.framesToReply[index - s.pendingSince];
        s.pendingSince = s.in->waitForDatagram(0) ? index : -1;  // a second one waits its turn
    } else if (!sent && waiting) {
        ++s.unanswered;
    }
}

// Entering a network match saves the options: keep that out of the way.
std::filesystem::path enterScratchFolder() {
    const auto scratch = std::filesystem::temp_directory_path() /
                         ("frostel-netbench-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(scratch);
    std::filesystem::current_path(scratch);
    return scratch;
}

void leaveScratchFolder(const std::filesystem::path& scratch) {
    std::filesystem::current_path(scratch.parent_path());
    std::filesystem::remove_all(scratch);
}

int freePort() {
    UdpLink probe;
    if (!probe.openServerOn(0, "127.000.000.001")) return -1;
    const int port = probe.boundPort();
    probe.close();
    return port;
}

bool report(const Side& s) {
    long total = 0, zero = 0, worst = 0;
    for (auto [f, n] : s.framesToReply) {
        total += n;
        if (f == 0) zero += n;
        worst = f > worst ? f : worst;
    }
    std::printf("%s machine: %ld datagrams answered, %ld in the frame that took them (0 frames), "
                "worst %ld frames, %ld frames with a datagram waiting and no reply\n",
                s.name, total, zero, worst, s.unanswered);
    return total > 0 && zero == total;
}

int run_pair(int argc, char** argv);

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && (std::string(argv[1]) == "create" || std::string(argv[1]) == "join")) return run_pair(argc, argv);
    const long frames = argc > 1 ? std::atol(argv[1]) : 20000;
    const auto scratch = enterScratchFolder();

    const int port = freePort();
    if (port < 0) return 1;

    UdpLink creatingLink, joiningLink;
    Game creating, joining;
    creating.link = &creatingLink;
    joining.link = &joiningLink;
    creating.port = joining.port = port;
    std::snprintf(joining.peerAddress, sizeof joining.peerAddress, "127.000.000.001");
    if (!creating.enterMatch(Create) || !joining.enterMatch(Join)) {
        std::fprintf(stderr, "net_reply_bench: could not open the links\n");
        return 1;
    }

    Side c, j;
    c.name = "creating", c.game = &creating, c.in = &creatingLink, c.out = &joiningLink;
    j.name = "joining", j.game = &joining, j.in = &joiningLink, j.out = &creatingLink;
    MouseState& mouse = MouseState::instance();
    unsigned rng = 7;
    auto next = [&] { return rng = rng * 1103515245u + 12345u, static_cast<int>((rng >> 8) % 21) - 10; };

    const float dt = 1.0f / 60.0f;
    const auto start = std::chrono::steady_clock::now();
    KeyBuffer& keys = KeyBuffer::instance();
    for (long i = 0; i < frames; ++i) {
        // now and then another figure, so that both sides reach the puck
        for (int k = 0; k < 6; ++k) keys.bytes[key::Digit1 + k] = 0;
        if (i % 120 == 0) keys.bytes[key::Digit1 + (i / 120) % 6] = 0x80;
        mouse.deltaX = next();
        mouse.deltaY = next();
        frame(j, i, dt);
        mouse.deltaX = next();
        mouse.deltaY = next();
        frame(c, i, dt);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    report(c);
    report(j);
    std::printf("network frames-to-reply: creating %s, joining %s (%ld frames each, %.1f us per frame pair)\n",
                c.framesToReply.size() == 1 && c.framesToReply.count(0) ? "0" : "NOT 0",
                j.framesToReply.size() == 1 && j.framesToReply.count(0) ? "0" : "NOT 0", frames,
                seconds * 1e6 / double(frames));
    std::printf("(score %d:%d at the end)\n", creating.score[0], creating.score[1]);
    leaveScratchFolder(scratch);
    return 0;
}

namespace {

// One side of a match between two processes, at the game's own 60 frames a second.
int run_pair(int argc, char** argv) {
    const bool creates = std::string(argv[1]) == "create";
    const long frames = argc > 2 ? std::atol(argv[2]) : 1200;
    const int peerPort = argc > 3 ? std::atoi(argv[3]) : 0;
    if (frames <= 0 || (!creates && peerPort <= 0)) {
        std::fprintf(stderr, "usage: net_reply_bench create FRAMES | join FRAMES PORT\n");
        return 2;
    }
    const auto scratch = enterScratchFolder();
    const char* loopback = "127.000.000.001";
    UdpLink gameLink, tap, peer;  // the game's link; its tap; the tap's way to the other process
    Game game;
    game.link = &gameLink;
    std::snprintf(game.peerAddress, sizeof game.peerAddress, "%s", loopback);
    bool opened = false;
    if (creates) {
        game.port = freePort();
        opened = game.port > 0 && game.enterMatch(Create) && tap.openClient(game.port, loopback) &&
                 peer.openServerOn(0, loopback);
        std::printf("port %d\n", peer.boundPort());
        std::fflush(stdout);
    } else {
        opened = tap.openServerOn(0, loopback) && peer.openClient(peerPort, loopback);
        game.port = tap.boundPort();
        opened = opened && game.enterMatch(Join);
    }
    if (!opened) {
        std::fprintf(stderr, "net_reply_bench: could not open the links\n");
        return 1;
    }
    uint8_t buffer[UdpLink::kMaxDatagram];
    auto forward = [&](UdpLink& from, UdpLink& to) {
        for (int n; (n = from.receive(buffer)) > 0;) to.send(buffer, n);
    };
    // The creating side starts first; its frames count from the joining side's first datagram.
    if (creates && !peer.waitForDatagram(60000)) {
        std::fprintf(stderr, "net_reply_bench: nobody joined\n");
        return 1;
    }

    Side side;
    side.name = creates ? "creating" : "joining";
    side.game = &game, side.in = &gameLink, side.out = &tap;
    MouseState& mouse = MouseState::instance();
    KeyBuffer& keys = KeyBuffer::instance();
    unsigned rng = creates ? 7 : 11;
    auto next = [&] { return rng = rng * 1103515245u + 12345u, static_cast<int>((rng >> 8) % 21) - 10; };
    const auto period = std::chrono::microseconds(16667);
    auto due = std::chrono::steady_clock::now();
    for (long i = 0; i < frames; ++i) {
        for (int k = 0; k < 6; ++k) keys.bytes[key::Digit1 + k] = 0;
        if (i % 120 == 0) keys.bytes[key::Digit1 + (i / 120) % 6] = 0x80;
        mouse.deltaX = next();
        mouse.deltaY = next();
        forward(peer, tap);
        frame(side, i, 1.0f / 60.0f);
        forward(tap, peer);
        due += period;
        std::this_thread::sleep_until(due);
    }
    const bool zero = report(side);
    std::printf("network frames-to-reply, %s side of two processes: %s (%ld frames at 60 a second, score %d:%d)\n",
                side.name, zero ? "0" : "NOT 0", frames, game.score[0], game.score[1]);
    leaveScratchFolder(scratch);
    return 0;
}

}  // namespace
