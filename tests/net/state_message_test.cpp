#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "net/state_message.h"
#include "platform/udp_address.h"

namespace {

StateMessage sample() {
    StateMessage m;
    const int8_t slides[6] = {25, 10, 127, 1, 0, -128};
    const int8_t angles[6] = {32, -1, 96, -127, 127, 0};
    std::memcpy(m.slide, slides, 6);
    std::memcpy(m.angle, angles, 6);
    m.x = 1.5f;     // 0x3FC00000
    m.z = -2.25f;   // 0xC0100000
    m.owner = 2;
    m.goal = 1;
    m.score[0] = 9;
    m.score[1] = 10;
    return m;
}

const uint8_t kSampleBytes[24] = {25,   10,   127,  1,    0,    0x80, 32,   0xFF, 96,   0x81, 127, 0,
                                  0x00, 0x00, 0xC0, 0x3F, 0x00, 0x00, 0x10, 0xC0, 2,    1,    9,   10};

}  // namespace

TEST(StateMessage, PacksByteForByteWithLittleEndianFloats) {
    uint8_t bytes[kStateMessageSize];
    std::memset(bytes, 0xAA, sizeof bytes);
    packStateMessage(sample(), bytes);
    for (int i = 0; i < kStateMessageSize; ++i) EXPECT_EQ(bytes[i], kSampleBytes[i]) << "byte " << i;
}

TEST(StateMessage, ReadsByteForByteAndSignExtends) {
    StateMessage m;
    ASSERT_TRUE(readStateMessage(kSampleBytes, 24, m));
    const StateMessage want = sample();
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(m.slide[i], want.slide[i]);
        EXPECT_EQ(m.angle[i], want.angle[i]);
    }
    EXPECT_EQ(int{m.slide[5]}, -128);  // 0x80 becomes -128, not 128
    EXPECT_EQ(int{m.angle[1]}, -1);
    EXPECT_EQ(m.x, 1.5f);
    EXPECT_EQ(m.z, -2.25f);
    EXPECT_EQ(m.owner, 2);
    EXPECT_EQ(m.goal, 1);
    EXPECT_EQ(m.score[0], 9);
    EXPECT_EQ(m.score[1], 10);
}

TEST(StateMessage, PoseValuesTravelAsTheirLowByte) {
    EXPECT_EQ(lowByte(127), 127);
    EXPECT_EQ(lowByte(-127), -127);
    EXPECT_EQ(lowByte(200), -56);  // out of range: only the low byte goes
    EXPECT_EQ(lowByte(256 + 5), 5);
}

TEST(StateMessage, RejectsWrongLengthsAndNonFiniteFloats) {
    StateMessage m;
    m.owner = 7;
    std::vector<uint8_t> big(99, 0);
    for (int length : {0, 1, 23, 25, 99}) EXPECT_FALSE(readStateMessage(big.data(), length, m)) << length;
    EXPECT_FALSE(readStateMessage(nullptr, 24, m));

    const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity()};
    for (float f : bad) {
        for (int at : {12, 16}) {
            StateMessage withBad = sample();
            (at == 12 ? withBad.x : withBad.z) = f;
            uint8_t bytes[24];
            packStateMessage(withBad, bytes);
            EXPECT_FALSE(readStateMessage(bytes, 24, m)) << "float at " << at;
        }
    }
    EXPECT_EQ(m.owner, 7);  // a rejected datagram leaves the target untouched

    StateMessage huge = sample();
    huge.x = std::numeric_limits<float>::max();
    huge.z = -std::numeric_limits<float>::denorm_min();
    uint8_t bytes[24];
    packStateMessage(huge, bytes);
    ASSERT_TRUE(readStateMessage(bytes, 24, m));  // finite is finite, however odd
    EXPECT_EQ(m.x, std::numeric_limits<float>::max());
}

TEST(DottedAddress, ReadsZeroPaddedGroupsAsDecimal) {
    struct Case {
        const char* text;
        uint8_t want[4];
    };
    const Case cases[] = {{"127.000.000.010", {127, 0, 0, 10}}, {"192.168.001.008", {192, 168, 1, 8}},
                          {"010.020.030.040", {10, 20, 30, 40}}, {"0.0.0.0", {0, 0, 0, 0}},
                          {"255.255.255.255", {255, 255, 255, 255}}, {"1.2.3.0000004", {1, 2, 3, 4}}};
    for (const Case& c : cases) {
        uint8_t out[4] = {9, 9, 9, 9};
        ASSERT_TRUE(parseDottedDecimal(c.text, out)) << c.text;
        EXPECT_EQ(0, std::memcmp(out, c.want, 4)) << c.text;
    }
}

TEST(DottedAddress, LeavesEverythingElseToTheResolver) {
    const char* names[] = {"",          "localhost",  "256.0.0.1",   "1.2.3",          "1.2.3.4.5",
                           "1..2.3",    ".1.2.3",     "1.2.3.4 ",    " 1.2.3.4",       "-1.2.3.4",
                           "+1.2.3.4",  "1.2.3.4.",   "0x7f.0.0.1",  "127.0.0.1a",     "1.2.3.999",
                           "99999999999999999999999.1.1.1"};
    for (const char* n : names) {
        uint8_t out[4] = {9, 9, 9, 9};
        EXPECT_FALSE(parseDottedDecimal(n, out)) << n;
        EXPECT_EQ(out[0], 9) << n;  // untouched on failure
    }
    uint8_t out[4];
    EXPECT_FALSE(parseDottedDecimal(nullptr, out));
}
