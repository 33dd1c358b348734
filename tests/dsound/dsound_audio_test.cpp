// The DirectSound audio system on a real output: under Wine with a PulseAudio null sink
// (DirectSoundOutput, AcmMp3); the game on it in game_audio_test.cpp. Run in the folder
// that holds the generated sounds; run_dsound_test.sh picks the suites.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/dsound/pcm_sound.h"
#include "platform/dsound_audio.h"
#include "platform/mp3_frames.h"
#include "platform/wav_reader.h"
#include "test_window.h"

WindowHandle testWindow() {
    static HWND w = CreateWindowExA(0, "STATIC", "audio test", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
    return w;
}

namespace {

struct SampleFile {
    const char* name;
    int copies;
};
constexpr SampleFile kSamples[6] = {{"sound2.wav", 3}, {"sound3.wav", 3},   {"sound4.wav", 3},
                                    {"sound5.wav", 3}, {"fanfaari.wav", 2}, {"fanfaari2.wav", 2}};
constexpr uint32_t kOverrideLongestPlaying = 0x20000;

std::vector<uint8_t> fileBytes(const char* name) {
    std::vector<uint8_t> b;
    EXPECT_TRUE(readSoundFile(name, &b)) << name;
    return b;
}

DirectSoundSound inspectSample(AudioSystem* a, uint32_t h) {
    DirectSoundSound s;
    EXPECT_TRUE(inspectDirectSoundSample(a, h, &s));
    return s;
}

double secondsSince(LARGE_INTEGER start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

// One opened system for the whole suite: decoding the tune takes a moment.
class DirectSoundOutput : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        audio = createDirectSoundAudioSystem();
        opened = audio->init(-1, 44100, 0, testWindow()) && audio->start();
        tune = audio->streamCreateFile("tune.mp3");
        for (int i = 0; i < 6; ++i)
            samples[i] = audio->sampleLoad(kSamples[i].name, kSamples[i].copies, kOverrideLongestPlaying);
    }
    static void TearDownTestSuite() {
        audio->stop();
        audio->free();
        delete audio;
    }
    void SetUp() override {
        ASSERT_TRUE(opened) << "DirectSound did not open: is the null sink running?";
        audio->stop();
        audio->setGlobalVolumes(100, 100, 100);
    }
    static inline AudioSystem* audio = nullptr;
    static inline bool opened = false;
    static inline uint32_t tune = 0;
    static inline uint32_t samples[6] = {};
};

TEST_F(DirectSoundOutput, OpensAndLoadsSixSamplesWithTheirCopies) {
    EXPECT_GE(audio->version(), 0x00020000u) << "the game's version test";
    for (int i = 0; i < 6; ++i) {
        ASSERT_NE(samples[i], 0u) << kSamples[i].name;
        const DirectSoundSound s = inspectSample(audio, samples[i]);
        WavPcm wav;
        const std::vector<uint8_t> file = fileBytes(kSamples[i].name);
        ASSERT_TRUE(parseWav(file.data(), file.size(), &wav));
        EXPECT_EQ(s.voices.size(), size_t(kSamples[i].copies)) << kSamples[i].name;
        EXPECT_EQ(s.sampleRate, 44100u);
        EXPECT_EQ(s.frames, wav.dataBytes / 2) << kSamples[i].name;
    }
}

TEST_F(DirectSoundOutput, TuneDecodesToTheLengthItsFileGivesAndLoops) {
    ASSERT_NE(tune, 0u);
    DirectSoundSound s;
    ASSERT_TRUE(inspectDirectSoundStream(audio, tune, &s));
    const std::vector<uint8_t> file = fileBytes("tune.mp3");
    Mp3Stream mp3;
    ASSERT_TRUE(scanMp3(file.data(), file.size(), &mp3));
    const size_t expected = mp3.frameCount * 1152 - size_t(mp3.encoderDelay) - size_t(mp3.endPadding);
    EXPECT_EQ(s.sampleRate, 44100u);
    EXPECT_EQ(s.channels, 1);
    EXPECT_EQ(s.bitsPerSample, 16);
    EXPECT_EQ(s.frames, expected);
    EXPECT_NEAR(double(s.frames) / s.sampleRate, 64.0, 0.05);
    std::printf("tune.mp3 decodes to %zu frames, %.4f s at %u Hz\n", s.frames, double(s.frames) / s.sampleRate,
                s.sampleRate);

    audio->streamPlay(tune, false, 4);
    Sleep(100);
    ASSERT_TRUE(inspectDirectSoundStream(audio, tune, &s));
    EXPECT_TRUE(s.voices[0].playing);
    EXPECT_TRUE(s.voices[0].looping);
    EXPECT_GT(s.voices[0].playCursor, 0u) << "the output runs";
}

TEST_F(DirectSoundOutput, EverySamplePlays) {
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < 6; ++i) {
        audio->samplePlay(samples[i]);
        DirectSoundSound s = inspectSample(audio, samples[i]);
        ASSERT_FALSE(s.voices.empty());
        EXPECT_TRUE(s.voices[0].playing) << kSamples[i].name;
        EXPECT_FALSE(s.voices[0].looping) << kSamples[i].name;
        for (size_t c = 1; c < s.voices.size(); ++c) EXPECT_FALSE(s.voices[c].playing) << "one play, one copy";
    }
    Sleep(60);
    for (int i = 0; i < 6; ++i) EXPECT_GT(inspectSample(audio, samples[i]).voices[0].playCursor, 0u) << i;
    // The shortest one (0.14 s) ends by itself, about in real time (a copy counts as done
    // once it is mixed, a little ahead of the output), and frees its copy.
    while (inspectSample(audio, samples[0]).voices[0].playing && secondsSince(start) < 2.0) Sleep(5);
    EXPECT_GE(secondsSince(start), 0.1) << "ended early: the output runs too fast";
    EXPECT_FALSE(inspectSample(audio, samples[0]).voices[0].playing) << "still playing after 2 s";
}

TEST_F(DirectSoundOutput, FourthPlayWhileThreeSoundTakesTheOldestCopy) {
    // Sample 0 lasts 0.14 s: three plays 15 ms apart all still sound at the fourth. A try
    // that the machine's load stretched beyond 0.1 s proves nothing and is made again.
    DirectSoundSound before, after;
    bool timely = false;
    for (int attempt = 0; attempt < 5 && !timely; ++attempt) {
        audio->stop();
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        for (int i = 0; i < 3; ++i) {
            audio->samplePlay(samples[0]);
            Sleep(15);
        }
        before = inspectSample(audio, samples[0]);
        audio->samplePlay(samples[0]);
        after = inspectSample(audio, samples[0]);
        timely = secondsSince(start) < 0.1;
    }
    ASSERT_TRUE(timely) << "the machine is too busy for this test";

    ASSERT_EQ(before.voices.size(), 3u);
    for (const DirectSoundVoice& v : before.voices) ASSERT_TRUE(v.playing);
    EXPECT_LT(before.voices[0].playOrder, before.voices[1].playOrder);
    EXPECT_LT(before.voices[1].playOrder, before.voices[2].playOrder);
    EXPECT_GE(before.voices[0].playCursor, before.voices[2].playCursor) << "the first started first";
    for (size_t c = 0; c < 3; ++c) EXPECT_TRUE(after.voices[c].playing) << c;
    for (size_t c = 1; c < 3; ++c) {
        EXPECT_EQ(after.voices[c].playOrder, before.voices[c].playOrder) << "left alone: " << c;
        EXPECT_GE(after.voices[c].playCursor, before.voices[c].playCursor) << "left alone: " << c;
    }
    EXPECT_GT(after.voices[0].playOrder, before.voices[2].playOrder) << "the oldest restarted";
    EXPECT_LT(after.voices[0].playCursor, before.voices[0].playCursor) << "from the start";
    EXPECT_LE(after.voices[0].playCursor, after.voices[2].playCursor);
}

TEST_F(DirectSoundOutput, VolumesZeroFiftyHundredGiveTheirAttenuation) {
    audio->streamPlay(tune, true, 4);
    const struct {
        int volume;
        long attenuation;
    } cases[] = {{0, -10000}, {50, -602}, {100, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(directSoundVolume(c.volume), c.attenuation);
        // Effects and music apart: the effects take the second value, the music the third.
        audio->setGlobalVolumes(c.volume, c.volume, 100 - c.volume);
        for (uint32_t h : samples)
            for (const DirectSoundVoice& v : inspectSample(audio, h).voices) EXPECT_EQ(v.volume, c.attenuation);
        audio->samplePlay(samples[3]);
        EXPECT_EQ(inspectSample(audio, samples[3]).voices[0].volume, c.attenuation) << "a new play keeps it";
        DirectSoundSound music;
        ASSERT_TRUE(inspectDirectSoundStream(audio, tune, &music));
        EXPECT_EQ(music.voices[0].volume, directSoundVolume(100 - c.volume));
        std::printf("volume %d -> %ld hundredths of a dB\n", c.volume, inspectSample(audio, samples[0]).voices[0].volume);
        audio->stop();
    }
    EXPECT_EQ(directSoundVolume(-5), -10000);
    EXPECT_EQ(directSoundVolume(1), -4000);
    EXPECT_EQ(directSoundVolume(250), 0);
}

TEST(AcmMp3, DecodedTuneStartsWithSoundAndLoopsWithoutAJump) {
    PcmSound pcm;
    ASSERT_TRUE(decodeMp3Sound(fileBytes("tune.mp3"), &pcm));
    ASSERT_EQ(pcm.channels, 1);
    const auto* s = reinterpret_cast<const int16_t*>(pcm.bytes.data());
    const size_t n = pcm.frames();
    ASSERT_GT(n, 44100u);
    double energy = 0;
    for (size_t i = 0; i < 1152; ++i) energy += double(s[i]) * s[i];
    EXPECT_GT(std::sqrt(energy / 1152), 300.0) << "no frame of silence at the top";
    // Across the seam the wave moves no more than it does next to it.
    int steepest = 0;
    for (size_t i = 1; i < 64; ++i)
        steepest = std::max({steepest, std::abs(s[i] - s[i - 1]), std::abs(s[n - i] - s[n - i - 1])});
    EXPECT_LE(std::abs(s[0] - s[n - 1]), 2 * steepest + 64);
}

TEST(AcmMp3, DamagedTunesDecodeWhatIsWholeOrNothing) {
    const std::vector<uint8_t> whole = fileBytes("tune.mp3");
    PcmSound pcm;
    const std::vector<uint8_t> half(whole.begin(), whole.begin() + whole.size() / 2);
    ASSERT_TRUE(decodeMp3Sound(half, &pcm));
    EXPECT_NEAR(double(pcm.frames()) / 44100, 32.0, 0.2);
    std::vector<uint8_t> noise(whole.size());
    uint32_t x = 12345;
    for (uint8_t& b : noise) b = uint8_t((x = x * 1103515245 + 12345) >> 24);
    EXPECT_FALSE(decodeMp3Sound(noise, &pcm));
    // Garbage inside the frames: the codec copes, whatever it makes of it.
    std::vector<uint8_t> scrambled = whole;
    for (size_t i = 2000; i < scrambled.size(); i += 1500) scrambled[i] ^= 0xA5;
    decodeMp3Sound(scrambled, &pcm);
    EXPECT_FALSE(decodeMp3Sound({}, &pcm));
}

}  // namespace
