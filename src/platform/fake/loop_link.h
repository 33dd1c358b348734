#pragma once
// Two datagram endpoints joined in memory, as loopback joins two copies on one machine,
// with the faults of scripts/udp_relay.py in both directions: a share of the datagrams
// dropped, a share of the rest held back for 0.01 s up to a longest hold, so that later
// ones overtake them. Time is the caller's: it runs both machines' frames on one clock
// and advances it. The same seed and the same calls give the same deliveries.
#include <cstdint>
#include <memory>

#include "platform/datagram_link.h"

struct LinkFaults {
    double drop = 0.0;       // share of datagrams lost
    double delay = 0.0;      // share of the rest held back
    double maxDelay = 0.25;  // longest hold in seconds
};

struct LinkCounts {
    long sent = 0, dropped = 0, held = 0;
};

class LoopNetwork {
public:
    LoopNetwork(LinkFaults faults, uint64_t seed);
    ~LoopNetwork();
    LoopNetwork(const LoopNetwork&) = delete;
    LoopNetwork& operator=(const LoopNetwork&) = delete;

    // Either end may open either way; as with UDP, a bound end sends only once it has
    // heard from someone, and an end that is not open receives nothing.
    DatagramLink& creating();
    DatagramLink& joining();

    void setTime(double seconds);  // a datagram is delivered once the clock reaches it
    double time() const { return now_; }
    const LinkCounts& counts() const { return counts_; }

private:
    class Endpoint;
    friend class Endpoint;
    double nextUniform();  // [0, 1)
    void carry(Endpoint& to, const uint8_t* data, int length);

    LinkFaults faults_;
    uint64_t state_;
    double now_ = 0.0;
    long order_ = 0;
    LinkCounts counts_;
    std::unique_ptr<Endpoint> ends_[2];
};
