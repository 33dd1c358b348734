// Without an output device the game starts silent on the DirectSound system, and every
// audio operation after that is harmless. Kept apart from <windows.h>, whose CreateMenu
// would clash with the game's screen of that name.
#include <gtest/gtest.h>

#include <memory>

#include "platform/dsound_audio.h"
#include "sim/game.h"
#include "test_window.h"

namespace {

constexpr uint32_t kOverrideLongestPlaying = 0x20000;

// No output device: the game runs silent and every operation is harmless.
TEST(DirectSoundSilent, GameStartsSilentWithoutAnOutput) {
    std::unique_ptr<AudioSystem> audio(createDirectSoundAudioSystem());
    installAudioSystem(audio.get());
    {
        Game g;
        g.startAudio(testWindow());
        EXPECT_FALSE(g.soundOn);
        EXPECT_FALSE(g.musicOn);
        EXPECT_EQ(g.musicStream, 0u);
        g.applyVolumes();
        g.playSample(0, true);
        g.playSampleNow(4);
    }
    audio->streamPlay(1, false, 4);
    audio->samplePlay(1);
    audio->setGlobalVolumes(50, 50, 50);
    EXPECT_EQ(audio->sampleLoad("sound2.wav", 3, kOverrideLongestPlaying), 0u);
    audio->stop();
    audio->free();
    installAudioSystem(nullptr);
}

}  // namespace
