#include "platform/udp_link.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace {

// Loopback delivery is immediate in practice; poll a little to stay robust on a busy machine.
int receiveSoon(UdpLink& link, uint8_t* buffer) {
    for (int i = 0; i < 200; ++i) {
        const int n = link.receive(buffer);
        if (n > 0) return n;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return 0;
}

std::vector<uint8_t> bytesOf(int length, uint8_t seed) {
    std::vector<uint8_t> v(length);
    for (int i = 0; i < length; ++i) v[i] = static_cast<uint8_t>(seed + i);
    return v;
}

}  // namespace

TEST(UdpLink, ServerLearnsTheSenderAndRepliesToTheLatestOne) {
    UdpLink server, clientA, clientB;
    ASSERT_TRUE(server.openServer(0));
    const int port = server.boundPort();
    ASSERT_GT(port, 0);
    ASSERT_TRUE(clientA.openClient(port, "127.000.000.001"));
    ASSERT_TRUE(clientB.openClient(port, "127.0.0.1"));

    uint8_t buffer[UdpLink::kMaxDatagram];
    EXPECT_EQ(server.receive(buffer), 0);  // nothing queued: at once, no wait

    const auto a = bytesOf(24, 1);
    ASSERT_EQ(clientA.send(a.data(), 24), 24);
    ASSERT_EQ(receiveSoon(server, buffer), 24);
    EXPECT_EQ(0, std::memcmp(buffer, a.data(), 24));
    const auto reply = bytesOf(24, 50);
    ASSERT_EQ(server.send(reply.data(), 24), 24);
    ASSERT_EQ(receiveSoon(clientA, buffer), 24);
    EXPECT_EQ(0, std::memcmp(buffer, reply.data(), 24));

    // A second sender takes over every later send.
    ASSERT_EQ(clientB.send(a.data(), 5), 5);
    ASSERT_EQ(receiveSoon(server, buffer), 5);
    ASSERT_EQ(server.send(reply.data(), 24), 24);
    EXPECT_EQ(receiveSoon(clientB, buffer), 24);
    EXPECT_EQ(clientA.receive(buffer), 0);
}

TEST(UdpLink, OneDatagramPerCallAndOversizedOnesReadAsNothing) {
    UdpLink server, client;
    ASSERT_TRUE(server.openServer(0));
    ASSERT_TRUE(client.openClient(server.boundPort(), "127.0.0.1"));
    const auto full = bytesOf(99, 7);
    const auto over = bytesOf(100, 9);
    ASSERT_EQ(client.send(full.data(), 99), 99);
    ASSERT_EQ(client.send(over.data(), 100), 100);
    ASSERT_EQ(client.send(full.data(), 3), 3);

    std::vector<uint8_t> buffer(200, 0xEE);
    ASSERT_EQ(receiveSoon(server, buffer.data()), 99);  // the whole first datagram only
    EXPECT_EQ(0, std::memcmp(buffer.data(), full.data(), 99));
    EXPECT_EQ(buffer[99], 0xEE);  // never written past 99 bytes
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(server.receive(buffer.data()), 0);  // the 100-byte one is dropped as an error
    EXPECT_EQ(buffer[99], 0xEE);
    EXPECT_EQ(receiveSoon(server, buffer.data()), 3);  // and the link goes on
}

TEST(UdpLink, PaddedAddressReachesTheDecimalAddress) {
    // All of 127/8 is loopback: a socket bound to 127.0.0.10 alone proves where datagrams go.
    UdpLink ten, eight;
    ASSERT_TRUE(ten.openServerOn(0, "127.0.0.10"));
    ASSERT_TRUE(eight.openServerOn(0, "127.0.0.8"));
    UdpLink client;
    ASSERT_TRUE(client.openClient(ten.boundPort(), "127.000.000.010"));
    const auto msg = bytesOf(24, 3);
    ASSERT_EQ(client.send(msg.data(), 24), 24);
    uint8_t buffer[UdpLink::kMaxDatagram];
    EXPECT_EQ(receiveSoon(ten, buffer), 24);

    UdpLink client8;
    ASSERT_TRUE(client8.openClient(eight.boundPort(), "127.000.000.008"));  // no octal "008" failure
    ASSERT_EQ(client8.send(msg.data(), 24), 24);
    EXPECT_EQ(receiveSoon(eight, buffer), 24);
    EXPECT_EQ(ten.receive(buffer), 0);
}

TEST(UdpLink, FailuresFoldIntoFalseOrZero) {
    UdpLink link;
    uint8_t buffer[UdpLink::kMaxDatagram];
    EXPECT_EQ(link.send(buffer, 24), 0);  // never opened
    EXPECT_EQ(link.receive(buffer), 0);
    EXPECT_FALSE(link.openClient(6116, ""));
    EXPECT_FALSE(link.openClient(6116, "no.such.host.invalid"));
    EXPECT_FALSE(link.openClient(6116, nullptr));
    EXPECT_EQ(link.send(buffer, 24), 0);  // no socket was made for a name that failed

    // A server with no peer yet has nowhere to send.
    UdpLink server;
    ASSERT_TRUE(server.openServer(0));
    EXPECT_EQ(server.send(buffer, 24), 0);

    // The port is taken: bind fails.
    UdpLink second;
    EXPECT_FALSE(second.openServer(server.boundPort()));

    // A port from a damaged options file must not wrap to another port.
    EXPECT_FALSE(second.openServer(70000));
    EXPECT_FALSE(second.openServer(-1));
    EXPECT_FALSE(second.openClient(65536, "127.000.000.001"));
}

TEST(UdpLink, ClosesAndOpensAgainForTheNextMatch) {
    UdpLink server, client;
    ASSERT_TRUE(server.openServer(0));
    const int port = server.boundPort();
    ASSERT_TRUE(client.openClient(port, "127.0.0.1"));
    uint8_t buffer[UdpLink::kMaxDatagram] = {};
    ASSERT_EQ(client.send(buffer, 24), 24);
    server.close();
    EXPECT_EQ(server.receive(buffer), 0);
    EXPECT_EQ(server.send(buffer, 24), 0);
    // Sending to a closed port: whatever the system reports comes back as nothing received.
    client.send(buffer, 24);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(client.receive(buffer), 0);

    ASSERT_TRUE(server.openServer(port));  // the same port is free again
    ASSERT_TRUE(client.openClient(port, "127.0.0.1"));
    ASSERT_EQ(client.send(buffer, 24), 24);
    EXPECT_EQ(receiveSoon(server, buffer), 24);
}

TEST(UdpLink, InstanceIsOneObject) { EXPECT_EQ(&UdpLink::instance(), &UdpLink::instance()); }
