#include <gtest/gtest.h>

#include <vector>

#include "platform/fake/loop_link.h"

namespace {

int sendNumber(DatagramLink& from, int n) {
    const uint8_t bytes[2] = {static_cast<uint8_t>(n & 0xFF), static_cast<uint8_t>(n >> 8)};
    return from.send(bytes, 2);
}

// Numbers received at times 0, step, 2 step ... until the clock passes `until`.
std::vector<int> drain(LoopNetwork& net, DatagramLink& at, double until, double step = 0.001) {
    std::vector<int> got;
    uint8_t buffer[DatagramLink::kMaxDatagram];
    for (double t = net.time(); t <= until; t += step) {
        net.setTime(t);
        while (at.receive(buffer) == 2) got.push_back(buffer[0] | buffer[1] << 8);
    }
    return got;
}

}  // namespace

// Without faults the pair behaves as loopback does: in order, at once, a bound end silent
// until it has heard from someone, nothing for an end that is not open.
TEST(LoopLink, BehavesAsLoopbackWithoutFaults) {
    LoopNetwork net({}, 1);
    DatagramLink& server = net.creating();
    DatagramLink& client = net.joining();
    uint8_t buffer[DatagramLink::kMaxDatagram];
    EXPECT_EQ(sendNumber(client, 1), 0);  // not open
    ASSERT_TRUE(server.openServer(6116));
    ASSERT_TRUE(client.openClient(6116, "127.000.000.001"));
    EXPECT_EQ(sendNumber(server, 2), 0);  // nobody to answer yet
    EXPECT_EQ(server.receive(buffer), 0);

    for (int n = 10; n < 15; ++n) EXPECT_EQ(sendNumber(client, n), 2);
    const std::vector<uint8_t> oversized(100, 7);
    EXPECT_EQ(client.send(oversized.data(), 100), 100);
    EXPECT_EQ(drain(net, server, 0.0), (std::vector<int>{10, 11, 12, 13, 14}));
    EXPECT_EQ(server.receive(buffer), 0);  // the oversized one read as nothing

    EXPECT_EQ(sendNumber(server, 20), 2);  // it has heard from the client now
    EXPECT_EQ(drain(net, client, 0.0), std::vector<int>{20});

    sendNumber(client, 30);
    server.close();
    ASSERT_TRUE(server.openServer(6116));
    EXPECT_EQ(server.receive(buffer), 0);  // what waited for the closed end is gone
}

// The relay's faults: about the asked share dropped, held ones overtaken and never early,
// and the same seed gives the same deliveries.
TEST(LoopLink, DropsAndReordersAsTheRelayDoesAndRepeatsForASeed) {
    auto run = [](uint64_t seed, LinkCounts& counts, int& overtaken) {
        LoopNetwork net({0.3, 0.2, 0.25}, seed);
        net.creating().openServer(1);
        net.joining().openClient(1, "x");
        std::vector<int> got;
        for (int n = 0; n < 4000; ++n) {
            net.setTime(n * 0.01);
            sendNumber(net.joining(), n);
            for (int m : drain(net, net.creating(), n * 0.01)) {
                EXPECT_LE(m, n);  // never before it was sent
                got.push_back(m);
            }
        }
        for (int m : drain(net, net.creating(), 40.3)) got.push_back(m);
        counts = net.counts();
        overtaken = 0;
        for (size_t i = 1; i < got.size(); ++i) overtaken += got[i] < got[i - 1];
        EXPECT_EQ(static_cast<long>(got.size()), counts.sent - counts.dropped);
        return got;
    };
    LinkCounts counts;
    int overtaken = 0;
    const std::vector<int> first = run(5, counts, overtaken);
    EXPECT_NEAR(counts.dropped / 4000.0, 0.3, 0.03);
    EXPECT_NEAR(counts.held / (4000.0 - counts.dropped), 0.2, 0.03);
    EXPECT_GT(overtaken, 100);

    LinkCounts again;
    EXPECT_EQ(run(5, again, overtaken), first);
    EXPECT_NE(run(6, again, overtaken), first);
}
