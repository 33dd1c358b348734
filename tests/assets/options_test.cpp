// "opts.dat": the exact 40 bytes, reading them back, and files the format does not cover.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "sim/game.h"
#include "support/test_support.h"

namespace {

std::string bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list) s.push_back(static_cast<char>(b));
    return s;
}

// A record with the given fields and junk in the bytes that carry no meaning.
std::string record(const std::string& sensitivity4, const std::string& port4, const std::string& address20,
                   int detail, const std::string& effects4, const std::string& music4) {
    return sensitivity4 + port4 + address20 + std::string(1, char(detail)) + "\x7f\x7f\x7f" + effects4 + music4;
}

TEST(OptionsFile, DefaultsAreWrittenByteForByte) {
    ScratchDir dir;
    Game g;
    g.mouseSensitivity = 0.4f;
    g.saveOptions();
    const std::string file = dir.read("opts.dat");
    ASSERT_EQ(file.size(), 40u);
    EXPECT_EQ(file.substr(0, 8), bytes({0xCD, 0xCC, 0xCC, 0x3E, 0xE4, 0x17, 0x00, 0x00}));
    EXPECT_EQ(file.substr(8, 16), std::string("127.000.000.001\0", 16));
    EXPECT_EQ(file[28], 1);
    EXPECT_EQ(file.substr(32, 8), bytes({0x32, 0, 0, 0, 0x32, 0, 0, 0}));
}

TEST(OptionsFile, RoundTripKeepsAllSixValues) {
    ScratchDir dir;
    Game a;
    a.mouseSensitivity = 1.2345f;
    a.port = 4000;
    std::strcpy(a.peerAddress, "192.168.001.002");
    a.highDetail = 0;
    a.effectsVolume = 7;
    a.musicVolume = 99;
    a.saveOptions();

    Game b;
    ASSERT_TRUE(b.loadOptions());
    EXPECT_EQ(b.mouseSensitivity, 1.2345f);
    EXPECT_EQ(b.port, 4000);
    EXPECT_STREQ(b.peerAddress, "192.168.001.002");
    EXPECT_EQ(b.highDetail, 0);
    EXPECT_EQ(b.effectsVolume, 7);
    EXPECT_EQ(b.musicVolume, 99);
}

TEST(OptionsFile, MissingOrShortFileChangesNothing) {
    ScratchDir dir;
    Game g;
    EXPECT_FALSE(g.loadOptions());
    // 39 bytes are no record: nothing is taken from them.
    dir.write("opts.dat", record(bytes({0, 0, 0x80, 0x3F}), bytes({1, 0, 0, 0}), std::string(20, 'x'), 0,
                                 bytes({9, 0, 0, 0}), bytes({9, 0, 0, 0}))
                              .substr(0, 39));
    EXPECT_FALSE(g.loadOptions());
    EXPECT_EQ(g.mouseSensitivity, 0.3f);
    EXPECT_EQ(g.port, 6116);
    EXPECT_STREQ(g.peerAddress, "127.000.000.001");
    EXPECT_EQ(g.musicVolume, 50);
    dir.write("opts.dat", "");
    EXPECT_FALSE(g.loadOptions());
}

TEST(OptionsFile, ReadsTheFirstFortyBytesAndBoundsTheAddress) {
    ScratchDir dir;
    Game g;
    // Address with its zero early and junk behind it; a longer file.
    dir.write("opts.dat", record(bytes({0, 0, 0x80, 0x3F}), bytes({0xFF, 0xFF, 0, 0}),
                                 std::string("10.0.0.1\0junkjunkjun", 20), 1, bytes({100, 0, 0, 0}),
                                 bytes({0, 0, 0, 0})) +
                              "trailing");
    ASSERT_TRUE(g.loadOptions());
    EXPECT_EQ(g.mouseSensitivity, 1.0f);
    EXPECT_EQ(g.port, 65535);
    EXPECT_STREQ(g.peerAddress, "10.0.0.1");
    EXPECT_EQ(g.effectsVolume, 100);
    EXPECT_EQ(g.musicVolume, 0);

    // No zero byte within the 20: 19 characters are kept, then the terminator.
    dir.write("opts.dat", record(bytes({0, 0, 0x80, 0x3F}), bytes({1, 0, 0, 0}), std::string(20, 'A'), 1,
                                 bytes({1, 0, 0, 0}), bytes({1, 0, 0, 0})));
    ASSERT_TRUE(g.loadOptions());
    EXPECT_EQ(std::string(g.peerAddress), std::string(19, 'A'));
}

TEST(OptionsFile, WildValuesAreKeptAndWrittenBackUnchanged) {
    ScratchDir dir;
    const std::string wild = record(bytes({0x00, 0x00, 0xC0, 0x7F}),  // NaN
                                    bytes({0x00, 0x00, 0x00, 0x80}),  // INT32_MIN
                                    std::string("999.999.999.999\0\0\0\0\0", 20), 0xAB,
                                    bytes({0xEC, 0xFF, 0xFF, 0xFF}),  // -20
                                    bytes({0xFF, 0xFF, 0xFF, 0x7F})); // INT32_MAX
    dir.write("opts.dat", wild);
    Game g;
    ASSERT_TRUE(g.loadOptions());
    EXPECT_TRUE(std::isnan(g.mouseSensitivity));
    EXPECT_EQ(g.port, INT32_MIN);
    EXPECT_EQ(g.highDetail, 0xAB);
    EXPECT_EQ(g.effectsVolume, -20);
    EXPECT_EQ(g.musicVolume, INT32_MAX);
    g.saveOptions();
    std::string back = dir.read("opts.dat");
    ASSERT_EQ(back.size(), 40u);
    back.replace(29, 3, "\x7f\x7f\x7f");  // unused bytes carry no meaning
    EXPECT_EQ(back, wild);
}

TEST(OptionsFile, UnwritablePlaceIsSkippedSilently) {
    ScratchDir dir;
    dir.write("opts.dat/keep", "");  // a folder where the file would go
    Game g;
    g.saveOptions();
    EXPECT_FALSE(g.loadOptions());
}

}  // namespace
