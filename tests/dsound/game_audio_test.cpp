// The game's own audio start-up on the DirectSound system: with an output everything is
// on and the game's calls reach the buffers; without one the game starts silent and every
// audio operation after that is harmless. Kept apart from <windows.h>, whose CreateMenu
// would clash with the game's screen of that name.
#include <gtest/gtest.h>

#include <memory>

#include "platform/dsound_audio.h"
#include "sim/game.h"
#include "test_window.h"

namespace {

constexpr uint32_t kOverrideLongestPlaying = 0x20000;

class InstalledDirectSound {
public:
    InstalledDirectSound() : audio(createDirectSoundAudioSystem()) { installAudioSystem(audio.get()); }
    ~InstalledDirectSound() { installAudioSystem(nullptr); }
    std::unique_ptr<AudioSystem> audio;
};

size_t playingCopies(AudioSystem* audio, uint32_t sample) {
    DirectSoundSound s;
    EXPECT_TRUE(inspectDirectSoundSample(audio, sample, &s));
    size_t n = 0;
    for (const DirectSoundVoice& v : s.voices) n += v.playing;
    return n;
}

TEST(DirectSoundGame, StartsWithSoundAndMusicOnAnOutput) {
    InstalledDirectSound ds;
    Game g;
    g.startAudio(testWindow());
    ASSERT_TRUE(g.soundOn);
    ASSERT_TRUE(g.musicOn);
    g.applyVolumes();  // the defaults, 50 and 50
    DirectSoundSound music;
    ASSERT_TRUE(inspectDirectSoundStream(ds.audio.get(), g.musicStream, &music));
    EXPECT_EQ(music.voices[0].volume, directSoundVolume(50));
    // Two stick clicks in one frame: the rate limit lets one through.
    g.playSample(0, true);
    g.playSample(0, true);
    EXPECT_EQ(playingCopies(ds.audio.get(), g.samples[0]), 1u);
    // A goal: horn and fanfare, neither limited.
    g.playSampleNow(3);
    g.playSampleNow(3);
    g.playSampleNow(4);
    EXPECT_EQ(playingCopies(ds.audio.get(), g.samples[3]), 2u);
    EXPECT_EQ(playingCopies(ds.audio.get(), g.samples[4]), 1u);
}

TEST(DirectSoundSilent, GameStartsSilentWithoutAnOutput) {
    InstalledDirectSound ds;
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
    AudioSystem* audio = ds.audio.get();
    audio->streamPlay(1, false, 4);
    audio->samplePlay(1);
    audio->setGlobalVolumes(50, 50, 50);
    EXPECT_EQ(audio->sampleLoad("sound2.wav", 3, kOverrideLongestPlaying), 0u);
    audio->stop();
    audio->free();
}

}  // namespace
