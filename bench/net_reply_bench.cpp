// Network latency in frames: how many frames pass between a datagram's arrival and the
// reply leaving, for both machines. Two games enter a network match over loopback as the
// menus do it and run Game::update frame by frame in turn, with the mouse moving their
// figures. Before a machine's frame the bench notes whether a datagram waits for it; after
// the frame, whether one reached the other side. Target: every reply in the frame that
// took the datagram (0 frames).
//
// Usage: net_reply_bench [FRAMES per machine, default 20000]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

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

}  // namespace

int main(int argc, char** argv) {
    const long frames = argc > 1 ? std::atol(argv[1]) : 20000;
    // Entering a network match saves the options: keep that out of the way.
    char pattern[] = "/tmp/frostel-netbench-XXXXXX";
    const char* scratch = mkdtemp(pattern);
    if (!scratch) return 1;
    std::filesystem::current_path(scratch);

    UdpLink probe;
    if (!probe.openServerOn(0, "127.000.000.001")) return 1;
    const int port = probe.boundPort();
    probe.close();

    UdpLink creatingLink, joiningLink;
    Game creating, joining;
    creating.link = &creatingLink;
    joining.link = &joiningLink;
    creating.port = joining.port = port;
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

    for (Side* s : {&c, &j}) {
        long total = 0, zero = 0, worst = 0;
        for (auto [f, n] : s->framesToReply) {
            total += n;
            if (f == 0) zero += n;
            worst = f > worst ? f : worst;
        }
        std::printf("%s machine: %ld datagrams answered, %ld in the frame that took them (0 frames), "
                    "worst %ld frames, %ld frames with a datagram waiting and no reply\n",
                    s->name, total, zero, worst, s->unanswered);
    }
    std::printf("network frames-to-reply: creating %s, joining %s (%ld frames each, %.1f us per frame pair)\n",
                c.framesToReply.size() == 1 && c.framesToReply.count(0) ? "0" : "NOT 0",
                j.framesToReply.size() == 1 && j.framesToReply.count(0) ? "0" : "NOT 0", frames,
                seconds * 1e6 / double(frames));
    std::printf("(score %d:%d at the end)\n", creating.score[0], creating.score[1]);
    std::filesystem::current_path("/");
    std::filesystem::remove_all(scratch);
    return 0;
}
