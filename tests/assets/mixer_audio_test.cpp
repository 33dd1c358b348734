// The SDL2_mixer audio system of the Linux build: volume scale, the dummy driver, the
// generator's files.
#include "platform/mixer_audio.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "sim/game.h"
#include "support/test_support.h"

namespace {

TEST(MixerAudio, VolumesSaturateOnTheMixerScale) {
    EXPECT_EQ(mixerVolume(0), 0);
    EXPECT_EQ(mixerVolume(50), 64);
    EXPECT_EQ(mixerVolume(100), 128);
    EXPECT_EQ(mixerVolume(-20), 0);
    EXPECT_EQ(mixerVolume(2147483647), 128);
}

// The real mixer on SDL's dummy output: no sound card needed.
TEST(MixerAudio, StartsOnTheDummyDriverAndCopesWithMissingFiles) {
    ScratchDir dir;
    // A tiny valid WAV: 8-bit mono, 8 samples of silence.
    std::string wav = "RIFF";
    auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto le16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    wav += le32(36 + 8) + "WAVEfmt " + le32(16) + le16(1) + le16(1) + le32(8000) + le32(8000) + le16(1) + le16(8);
    wav += "data" + le32(8) + std::string(8, char(0x80));
    dir.write("click.wav", wav);

    setenv("SDL_AUDIODRIVER", "dummy", 1);
    AudioSystem* mixer = createMixerAudioSystem();
    EXPECT_GE(mixer->version(), 0x00020000u);
    ASSERT_TRUE(mixer->init(-1, 44100, 0, nullptr));
    EXPECT_TRUE(mixer->start());
    EXPECT_EQ(mixer->streamCreateFile("tune.mp3"), 0u);
    EXPECT_EQ(mixer->sampleLoad("missing.wav", 3, 0x20000), 0u);
    const uint32_t click = mixer->sampleLoad("click.wav", 3, 0x20000);
    const uint32_t other = mixer->sampleLoad("click.wav", 2, 0x20000);
    EXPECT_NE(click, 0u);
    EXPECT_NE(other, click);
    mixer->setGlobalVolumes(50, 150, -3);
    for (int i = 0; i < 5; ++i) mixer->samplePlay(click);  // more plays than channels
    mixer->samplePlay(0);
    mixer->samplePlay(999);
    mixer->streamPlay(0, false, 4);
    mixer->stop();
    mixer->free();
    mixer->samplePlay(click);  // after release: ignored
    delete mixer;
    unsetenv("SDL_AUDIODRIVER");
}

// The generator's sounds and music open on the real mixer.
TEST(MixerAudio, GeneratedSoundsAndMusicLoad) {
    if (access(FROSTEL_RUN_DIR "/tune.mp3", R_OK) != 0) GTEST_SKIP() << "no generated assets";
    const std::string previous = std::filesystem::current_path().string();
    std::filesystem::current_path(FROSTEL_RUN_DIR);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    AudioSystem* mixer = createMixerAudioSystem();
    installAudioSystem(mixer);
    {
        Game g;
        g.startAudio(nullptr);
        EXPECT_TRUE(g.soundOn);
        EXPECT_TRUE(g.musicOn);
        g.applyVolumes();
        g.playSample(0, true);
        mixer->streamPlay(g.musicStream, false, 4);
    }
    installAudioSystem(nullptr);
    delete mixer;
    unsetenv("SDL_AUDIODRIVER");
    std::filesystem::current_path(previous);
}

}  // namespace
