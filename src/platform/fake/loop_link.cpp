#include "platform/fake/loop_link.h"

#include <algorithm>
#include <cstring>
#include <queue>
#include <vector>

namespace {

struct Datagram {
    double due;
    long order;  // equal times keep their sending order
    std::vector<uint8_t> bytes;
    bool operator>(const Datagram& other) const {
        return due != other.due ? due > other.due : order > other.order;
    }
};

}  // namespace

class LoopNetwork::Endpoint final : public DatagramLink {
public:
    Endpoint(LoopNetwork& network, int index) : network_(network), index_(index) {}

    bool openServer(int) override {
        reset();
        open_ = true;
        return true;
    }
    bool openClient(int, const char*) override {
        reset();
        open_ = true;
        knowsPeer_ = true;
        return true;
    }
    int send(const uint8_t* data, int length) override {
        if (!open_ || !knowsPeer_ || data == nullptr || length < 0) return 0;
        network_.carry(*network_.ends_[1 - index_], data, length);
        return length;
    }
    int receive(uint8_t* buffer) override {
        if (!open_ || buffer == nullptr || inbox_.empty() || inbox_.top().due > network_.now_) return 0;
        const std::vector<uint8_t> bytes = inbox_.top().bytes;
        inbox_.pop();
        knowsPeer_ = true;  // a bound end answers whoever spoke last
        // Too long for the buffer reads as nothing, as the UDP link has it.
        if (bytes.size() > static_cast<size_t>(kMaxDatagram)) return 0;
        if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
        return static_cast<int>(bytes.size());
    }
    void close() override { reset(); }

    void deliverLater(double due, long order, const uint8_t* data, int length) {
        if (open_) inbox_.push({due, order, std::vector<uint8_t>(data, data + length)});
    }

private:
    void reset() {
        open_ = false;
        knowsPeer_ = false;
        inbox_ = {};
    }

    LoopNetwork& network_;
    int index_;
    bool open_ = false;
    bool knowsPeer_ = false;
    std::priority_queue<Datagram, std::vector<Datagram>, std::greater<Datagram>> inbox_;
};

LoopNetwork::LoopNetwork(LinkFaults faults, uint64_t seed) : faults_(faults), state_(seed) {
    ends_[0] = std::make_unique<Endpoint>(*this, 0);
    ends_[1] = std::make_unique<Endpoint>(*this, 1);
}

LoopNetwork::~LoopNetwork() = default;

DatagramLink& LoopNetwork::creating() { return *ends_[0]; }
DatagramLink& LoopNetwork::joining() { return *ends_[1]; }

void LoopNetwork::setTime(double seconds) { now_ = std::max(now_, seconds); }

double LoopNetwork::nextUniform() {
    // splitmix64: small, and the same numbers on every platform and library.
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * (1.0 / 9007199254740992.0);
}

void LoopNetwork::carry(Endpoint& to, const uint8_t* data, int length) {
    ++counts_.sent;
    if (nextUniform() < faults_.drop) {
        ++counts_.dropped;
        return;
    }
    double due = now_;
    if (nextUniform() < faults_.delay) {
        ++counts_.held;
        due += 0.01 + nextUniform() * (faults_.maxDelay - 0.01);
    }
    to.deliverLater(due, ++order_, data, length);
}
