#pragma once
// A datagram endpoint as the network match uses it: the UDP socket in the programs, an
// in-memory pair (fake/loop_link.h) where whole matches run without sockets.
#include <cstdint>

class DatagramLink {
public:
    virtual ~DatagramLink() = default;

    virtual bool openServer(int port) = 0;
    virtual bool openClient(int port, const char* addressText) = 0;
    virtual int send(const uint8_t* data, int length) = 0;  // bytes sent; 0 on failure
    virtual int receive(uint8_t* buffer) = 0;               // one datagram; 0 when none
    virtual void close() = 0;

    static constexpr int kMaxDatagram = 99;  // a receive buffer must hold this many bytes
};
