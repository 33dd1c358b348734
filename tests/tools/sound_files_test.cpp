// The generated sounds: well-formed 16-bit PCM WAV files of the right lengths, and an
// MP3 stream that is frame-for-frame 44.1 kHz mono at 96 kbps and over a minute long.
#include <gtest/gtest.h>

#include <cstring>

#include "asset_files.h"

namespace {

uint32_t le32(const std::string& s, size_t at) {
    return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8 |
           static_cast<uint8_t>(s[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24;
}
uint16_t le16(const std::string& s, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8);
}

struct Wav {
    uint16_t format = 0, channels = 0, bits = 0;
    uint32_t rate = 0;
    std::vector<int16_t> samples;
};

// Walks the chunks; false for anything but a complete RIFF/WAVE with fmt and data.
bool readWav(const std::string& b, Wav* out) {
    if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) return false;
    if (le32(b, 4) + 8 != b.size()) return false;
    bool fmt = false;
    for (size_t at = 12; at + 8 <= b.size();) {
        const uint32_t size = le32(b, at + 4);
        if (at + 8 + size > b.size()) return false;
        if (b.compare(at, 4, "fmt ") == 0 && size >= 16) {
            out->format = le16(b, at + 8), out->channels = le16(b, at + 10);
            out->rate = le32(b, at + 12), out->bits = le16(b, at + 22);
            fmt = true;
        } else if (b.compare(at, 4, "data") == 0 && fmt) {
            out->samples.resize(size / 2);
            std::memcpy(out->samples.data(), b.data() + at + 8, size / 2 * 2);
            return true;
        }
        at += 8 + size + (size & 1);
    }
    return false;
}

TEST(Sounds, EffectsAreWavAt44100Hz16BitWithFittingLengths) {
    struct Expect {
        const char* name;
        double minSeconds, maxSeconds;
    };
    const Expect sounds[] = {{"sound2.wav", 0.03, 0.3},   {"sound3.wav", 0.1, 0.6},
                             {"sound4.wav", 0.05, 0.4},   {"sound5.wav", 1.3, 1.8},
                             {"fanfaari.wav", 1.7, 2.5}, {"fanfaari2.wav", 3.5, 4.5}};
    for (const Expect& e : sounds) {
        Wav w;
        ASSERT_TRUE(readWav(readBytes(assetPath(e.name)), &w)) << e.name;
        EXPECT_EQ(w.format, 1) << e.name;
        EXPECT_EQ(w.rate, 44100u) << e.name;
        EXPECT_EQ(w.bits, 16) << e.name;
        EXPECT_EQ(w.channels, 1) << e.name;
        const double secs = double(w.samples.size()) / w.rate;
        EXPECT_GE(secs, e.minSeconds) << e.name;
        EXPECT_LE(secs, e.maxSeconds) << e.name;
        // Loud enough to hear, never clipped, and ending quietly (no click at the end).
        int peak = 0, clipped = 0;
        for (int16_t s : w.samples) {
            peak = std::max(peak, std::abs(int(s)));
            if (s == 32767 || s == -32768) ++clipped;
        }
        EXPECT_GT(peak, 16000) << e.name;
        EXPECT_EQ(clipped, 0) << e.name;
        EXPECT_LT(std::abs(int(w.samples.back())), 600) << e.name;
    }
}

TEST(Music, EveryFrameIsMpeg1LayerThree44100MonoAt96Kbps) {
    const std::string b = readBytes(assetPath("tune.mp3"));
    ASSERT_GT(b.size(), 4u);
    size_t at = 0, frames = 0;
    // An ID3v2 tag may precede the frames.
    if (b.compare(0, 3, "ID3") == 0 && b.size() > 10)
        at = 10 + ((b[6] & 0x7F) << 21 | (b[7] & 0x7F) << 14 | (b[8] & 0x7F) << 7 | (b[9] & 0x7F));
    while (at + 4 <= b.size()) {
        if (b.compare(at, 3, "TAG") == 0 && b.size() - at == 128) break;  // ID3v1 at the end
        const uint32_t h = static_cast<uint32_t>(static_cast<uint8_t>(b[at])) << 24 |
                           static_cast<uint8_t>(b[at + 1]) << 16 | static_cast<uint8_t>(b[at + 2]) << 8 |
                           static_cast<uint8_t>(b[at + 3]);
        ASSERT_EQ(h >> 21, 0x7FFu) << "frame sync at byte " << at;
        ASSERT_EQ((h >> 19) & 3, 3u) << "MPEG-1 at byte " << at;
        ASSERT_EQ((h >> 17) & 3, 1u) << "Layer III at byte " << at;
        ASSERT_EQ((h >> 12) & 15, 7u) << "96 kbps at byte " << at;
        ASSERT_EQ((h >> 10) & 3, 0u) << "44100 Hz at byte " << at;
        ASSERT_EQ((h >> 6) & 3, 3u) << "mono at byte " << at;
        at += 144 * 96000 / 44100 + ((h >> 9) & 1);
        ++frames;
    }
    EXPECT_EQ(at, b.size()) << "the last frame is whole";
    EXPECT_GE(frames * 1152.0 / 44100.0, 60.0);
}

}  // namespace
