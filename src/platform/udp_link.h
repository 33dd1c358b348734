#pragma once
// The one UDP endpoint of a network match: a non-blocking IPv4 socket.
#include <cstdint>

#include "platform/datagram_link.h"
#include "platform/udp_address.h"

class UdpLink final : public DatagramLink {
public:
    static UdpLink& instance();

    UdpLink();  // tests make their own links; the game uses instance()
    ~UdpLink() override;
    UdpLink(const UdpLink&) = delete;
    UdpLink& operator=(const UdpLink&) = delete;

    bool openServer(int port) override;
    bool openClient(int port, const char* addressText) override;
    int send(const uint8_t* data, int length) override;
    int receive(uint8_t* buffer) override;  // buffer of at least kMaxDatagram bytes
    void close() override;

    // For tests: bind one local address instead of any, learn the port the system
    // picked when asked for port 0, and wait for a datagram without taking it.
    bool openServerOn(int port, const char* localAddressText);
    int boundPort() const;
    bool waitForDatagram(int milliseconds) const;  // true once one is queued; reads nothing

private:
    // A descriptor on POSIX, a SOCKET on Windows; both fit and neither is ever -1 when open.
    static constexpr intptr_t kNoSocket = -1;
    bool openBound(int port, const uint8_t address[4]);

    intptr_t socket_ = kNoSocket;
    uint8_t localAddress_[kIPv4AddressSize] = {};
    uint8_t remoteAddress_[kIPv4AddressSize] = {};
    uint8_t host_[4] = {};  // the resolved peer address of the last openClient
    bool libraryStarted_ = false;  // Winsock: one start per open, ended by close
};
