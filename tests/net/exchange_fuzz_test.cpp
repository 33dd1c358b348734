// Random datagrams of every length into both exchanges of a live pair. A peer's word on
// where the puck is gets shown as sent, but nothing may ever turn the puck non-finite,
// and wherever a machine runs the puck itself it stays on the rink.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "net/net_peers.h"

namespace {

class DatagramSource {
public:
    explicit DatagramSource(uint32_t seed) : rng_(seed) {}

    // Every length from 0 to 99 in turn, with every second datagram a 24-byte one so that
    // the deeper paths (hand-over, goals) are reached.
    std::vector<uint8_t> next() {
        const bool message = (count_++ % 2) == 0;
        const int length = message ? kStateMessageSize : static_cast<int>(lengthCycle_++ % 100);
        std::vector<uint8_t> bytes(length);
        for (auto& b : bytes) b = static_cast<uint8_t>(rng_());
        if (length == kStateMessageSize) shape(bytes);
        return bytes;
    }

    std::set<std::pair<float, float>> sentFloats;  // every finite pair a 24-byte datagram carried

private:
    float pickFloat() {
        const uint32_t kind = rng_() % 20;
        if (kind < 12) return std::uniform_real_distribution<float>(-130.0f, 130.0f)(rng_);
        if (kind < 16) return std::bit_cast<float>(static_cast<uint32_t>(rng_()));
        const float specials[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                                  -std::numeric_limits<float>::max(), std::numeric_limits<float>::denorm_min(),
                                  -0.0f, 0.051f, 1e30f};
        return specials[rng_() % 7];
    }

    void shape(std::vector<uint8_t>& bytes) {
        StateMessage m;
        uint8_t raw[kStateMessageSize];
        for (int i = 0; i < kStateMessageSize; ++i) raw[i] = bytes[i];
        const float x = pickFloat(), z = pickFloat();
        const uint32_t bx = std::bit_cast<uint32_t>(x), bz = std::bit_cast<uint32_t>(z);
        for (int i = 0; i < 4; ++i) {
            raw[12 + i] = static_cast<uint8_t>(bx >> (8 * i));
            raw[16 + i] = static_cast<uint8_t>(bz >> (8 * i));
        }
        const uint8_t small[] = {0, 1, 2, static_cast<uint8_t>(rng_())};
        raw[20] = small[rng_() % 4];
        raw[21] = small[rng_() % 4];
        if (rng_() % 2) {
            raw[22] = static_cast<uint8_t>(rng_() % 11);
            raw[23] = static_cast<uint8_t>(rng_() % 11);
        }
        if (readStateMessage(raw, kStateMessageSize, m)) sentFloats.insert({m.x, m.z});
        bytes.assign(raw, raw + kStateMessageSize);
    }

    std::mt19937 rng_;
    uint32_t count_ = 0;
    uint32_t lengthCycle_ = 0;
};

bool onRink(const Game& g) {
    // The boards plus the reach of a figure's bounce beyond them.
    return std::fabs(g.puckPos[0]) <= 75.0f && std::fabs(g.puckPos[1]) <= 135.0f;
}

void checkPuck(const Game& g, const DatagramSource& source, const char* who, int frame) {
    ASSERT_TRUE(std::isfinite(g.puckPos[0]) && std::isfinite(g.puckPos[1])) << who << " frame " << frame;
    ASSERT_TRUE(std::isfinite(g.puckVel[0]) && std::isfinite(g.puckVel[1])) << who << " frame " << frame;
    ASSERT_LE(std::hypot(g.puckVel[0], g.puckVel[1]), 90.01f) << who << " frame " << frame;
    ASSERT_TRUE(std::isfinite(g.puckModel->position.x) && std::isfinite(g.puckModel->position.z));
    const bool shownAsSent = source.sentFloats.count({g.puckPos[0], g.puckPos[1]}) > 0;
    ASSERT_TRUE(onRink(g) || shownAsSent)
        << who << " frame " << frame << " puck at " << g.puckPos[0] << ", " << g.puckPos[1];
}

}  // namespace

TEST(ExchangeFuzz, RandomDatagramsKeepThePuckFiniteAndOnTheRink) {
    // A fixed number of frames, not a time budget: a loaded machine (or Wine) must not
    // leave a seed with nothing checked.
    for (uint32_t seed : {1u, 2u, 3u}) {
        Peers p;
        p.introduce();
        DatagramSource source(seed);
        std::mt19937 rng(seed * 7919u);
        int frames = 0, handOvers = 0;
        for (; frames < 2000; ++frames) {
            // The test's datagrams go between the two real ones, from the same addresses.
            if (rng() % 2) {
                const auto d = source.next();
                p.joiningLink.send(d.data(), static_cast<int>(d.size()));
            }
            if (rng() % 2) {
                const auto d = source.next();
                p.creatingLink.send(d.data(), static_cast<int>(d.size()));
            }
            const float dt = std::uniform_real_distribution<float>(0.001f, 0.1f)(rng);
            const bool contact = rng() % 6 == 0;
            if (contact) p.creating.puckImpulse[0] += 5.0f;  // as a creating-machine strike would
            const int ownerBefore = p.creating.puckOwner;
            p.creating.creatingExchange(contact, dt);
            if (p.creating.puckOwner != ownerBefore) ++handOvers;
            if (rng() % 6 == 0) p.joining.puckImpulse[1] += 5.0f;
            p.joining.joiningExchange(false, dt);
            checkPuck(p.creating, source, "creating", frames);
            checkPuck(p.joining, source, "joining", frames);
            if (HasFatalFailure()) return;
        }
        EXPECT_GT(handOvers, 10) << "seed " << seed;  // the hand-over paths were reached
        EXPECT_GT(p.creating.score[0] + p.creating.score[1], 0) << "seed " << seed;
        std::printf("fuzz seed %u: %d frames, %d hand-overs, goals %d:%d\n", seed, frames, handOvers,
                    p.creating.score[0], p.creating.score[1]);
    }
}
