// The WAV and MP3 readers of the DirectSound backend: the generated files, the layouts
// other writers use, and damaged files refused without reading past their end.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/mp3_frames.h"
#include "platform/wav_reader.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes runFile(const char* name) {
    std::ifstream in(std::string(FROSTEL_RUN_DIR) + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}
void put16(Bytes& b, uint16_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void tag(Bytes& b, const char* t) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(t[i]));
}
void chunk(Bytes& b, const char* t, const Bytes& body) {
    tag(b, t);
    put32(b, uint32_t(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1) b.push_back(0);
}
Bytes fmtBody(uint16_t format, uint16_t channels, uint32_t rate, uint16_t bits, int alignDelta = 0) {
    Bytes f;
    const uint16_t align = uint16_t(channels * bits / 8 + alignDelta);
    put16(f, format), put16(f, channels), put32(f, rate), put32(f, rate * align), put16(f, align), put16(f, bits);
    return f;
}
Bytes riff(const Bytes& chunks) {
    Bytes b;
    tag(b, "RIFF");
    put32(b, uint32_t(chunks.size() + 4));
    tag(b, "WAVE");
    b.insert(b.end(), chunks.begin(), chunks.end());
    return b;
}
bool parses(const Bytes& b, WavPcm* out = nullptr) {
    WavPcm w;
    return parseWav(b.data(), b.size(), out ? out : &w);
}

TEST(WavReader, OtherWritersLayouts) {
    // A padded odd-sized chunk first, data before fmt, stereo 8-bit, a half frame at the end.
    Bytes chunks;
    chunk(chunks, "LIST", Bytes(5, 'x'));
    chunk(chunks, "data", Bytes(9, 0x80));
    chunk(chunks, "fmt ", fmtBody(1, 2, 22050, 8));
    WavPcm w;
    ASSERT_TRUE(parses(riff(chunks), &w));
    EXPECT_EQ(w.channels, 2);
    EXPECT_EQ(w.sampleRate, 22050u);
    EXPECT_EQ(w.blockAlign, 2);
    EXPECT_EQ(w.dataOffset, 12u + 8 + 6 + 8);
    EXPECT_EQ(w.dataBytes, 8u);
}

TEST(WavReader, RefusesWhatABufferCannotTakeAndDamagedFiles) {
    auto with = [](const Bytes& fmt, size_t dataBytes) {
        Bytes chunks;
        chunk(chunks, "fmt ", fmt);
        chunk(chunks, "data", Bytes(dataBytes, 1));
        return riff(chunks);
    };
    ASSERT_TRUE(parses(with(fmtBody(1, 1, 44100, 16), 4)));
    EXPECT_FALSE(parses(with(fmtBody(3, 1, 44100, 32), 8))) << "float";
    EXPECT_FALSE(parses(with(fmtBody(1, 3, 44100, 16), 12))) << "three channels";
    EXPECT_FALSE(parses(with(fmtBody(1, 1, 44100, 24), 12))) << "24 bits";
    EXPECT_FALSE(parses(with(fmtBody(1, 1, 0, 16), 4))) << "no rate";
    EXPECT_FALSE(parses(with(fmtBody(1, 2, 44100, 16, 1), 10))) << "frame size that does not fit";
    EXPECT_FALSE(parses(with(fmtBody(1, 1, 44100, 16), 1))) << "less than one frame";
    Bytes onlyFmt;
    chunk(onlyFmt, "fmt ", fmtBody(1, 1, 44100, 16));
    EXPECT_FALSE(parses(riff(onlyFmt))) << "no data";
    Bytes onlyData;
    chunk(onlyData, "data", Bytes(4, 0));
    EXPECT_FALSE(parses(riff(onlyData))) << "no format";

    Bytes overlong = with(fmtBody(1, 1, 44100, 16), 4);
    overlong[overlong.size() - 8] = 0xFF;  // data chunk size beyond the file
    EXPECT_FALSE(parses(overlong));
    // The generated file cut anywhere: never accepted, never read past the end (the sanitizer build checks).
    const Bytes whole = runFile("sound2.wav");
    WavPcm w;
    ASSERT_TRUE(parses(whole, &w));
    EXPECT_EQ(w.dataOffset + w.dataBytes, whole.size());
    for (size_t n = 0; n < whole.size(); n += (n < 64 ? 1 : 997)) {
        const Bytes cut(whole.begin(), whole.begin() + n);
        EXPECT_FALSE(parses(cut)) << n;
    }
}

// An MPEG-1 layer III frame at 44.1 kHz, 128 kbit/s (417 bytes), mono or stereo.
Bytes frame(bool stereo = false, uint8_t fill = 0x55) {
    Bytes f(417, fill);
    f[0] = 0xFF, f[1] = 0xFB, f[2] = 0x90, f[3] = stereo ? 0x00 : 0xC0;
    return f;
}
Bytes frames(int n) {
    Bytes b;
    for (int i = 0; i < n; ++i) {
        const Bytes f = frame();
        b.insert(b.end(), f.begin(), f.end());
    }
    return b;
}
Mp3Stream scan(const Bytes& b, bool* ok = nullptr) {
    Mp3Stream s;
    const bool parsed = scanMp3(b.data(), b.size(), &s);
    if (ok) *ok = parsed;
    return s;
}

TEST(Mp3Frames, GeneratedTuneLeavesOutItsInfoFrameAndPlaysExactly64Seconds) {
    const Bytes b = runFile("tune.mp3");
    bool ok = false;
    const Mp3Stream s = scan(b, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(s.mpegVersion, 10);
    EXPECT_EQ(s.sampleRate, 44100);
    EXPECT_EQ(s.channels, 1);
    EXPECT_EQ(s.firstBitrate, 96);
    EXPECT_TRUE(s.hasInfoFrame);
    EXPECT_EQ(s.audioOffset, size_t(s.firstFrameBytes));  // right after the Info frame
    EXPECT_EQ(s.audioOffset + s.audioBytes, b.size());
    EXPECT_EQ(s.encoderDelay, 576);
    // What a plain decoder gives for the sound frames, less both delays and the padding.
    const Mp3Playable p = mp3PlayableRange(s, s.frameCount * 1152);
    EXPECT_EQ(p.first, 576u + 529u);
    EXPECT_EQ(p.count, 64u * 44100u);
}

TEST(Mp3Frames, TagsGarbageAndCutFramesEndTheStream) {
    Bytes b = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 3, 'a', 'b', 'c'};  // ID3v2 with 3 bytes
    const Bytes body = frames(3);
    b.insert(b.end(), body.begin(), body.end());
    const Bytes v1(128, 'T');
    b.insert(b.end(), v1.begin(), v1.end());
    bool ok = false;
    Mp3Stream s = scan(b, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(s.audioOffset, 13u);
    EXPECT_EQ(s.frameCount, 3u);
    EXPECT_FALSE(s.hasInfoFrame);
    EXPECT_EQ(s.encoderDelay, -1);

    const Bytes cut(body.begin(), body.end() - 1);
    EXPECT_EQ(scan(cut).frameCount, 2u) << "a frame cut short is left out";
    Bytes mixed = frames(1);
    const Bytes st = frame(true);
    mixed.insert(mixed.end(), st.begin(), st.end());
    EXPECT_EQ(scan(mixed).frameCount, 1u) << "a change of channels ends the stream";
    const Bytes one = frame();
    scan(Bytes(one.begin(), one.end() - 1), &ok);
    EXPECT_FALSE(ok) << "no whole frame";
    scan(Bytes(4000, 0x5A), &ok);
    EXPECT_FALSE(ok) << "no frame at all";
}

TEST(Mp3Frames, InfoFrameAloneIsRefusedAndUnknownDelaysUseTheUsualOnes) {
    Bytes info = frame(false, 0);
    std::copy_n("Info", 4, info.begin() + 4 + 17);
    bool ok = true;
    scan(info, &ok);
    EXPECT_FALSE(ok) << "nothing to play";

    Bytes b = info;
    const Bytes body = frames(2);
    b.insert(b.end(), body.begin(), body.end());
    const Mp3Stream s = scan(b, &ok);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(s.hasInfoFrame);
    EXPECT_EQ(s.frameCount, 2u);
    EXPECT_EQ(s.encoderDelay, -1) << "no LAME tag";
    Mp3Playable p = mp3PlayableRange(s, 2304);
    EXPECT_EQ(p.first, 1105u);
    EXPECT_EQ(p.count, 2304u - 1105u);
    p = mp3PlayableRange(s, 1000);  // a decoder that gave less than its delay
    EXPECT_EQ(p.first, 1000u);
    EXPECT_EQ(p.count, 0u);
}

}  // namespace
