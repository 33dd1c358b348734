// Audio start-up order, what each failure silences, volumes, effects and shutdown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/recording_audio.h"
#include "sim/game.h"

namespace {

using Calls = std::vector<std::string>;

TEST(AudioStartup, CallsInOrderWithTheirArguments) {
    ScopedRecordingAudio audio;
    Game g;
    int window = 0;
    g.startAudio(&window);
    EXPECT_EQ(audio->calls, (Calls{"version()", "init(-1,44100,0,window)", "start()", "streamCreateFile(tune.mp3)",
                                   "sampleLoad(sound2.wav,3,0x20000)", "sampleLoad(sound3.wav,3,0x20000)",
                                   "sampleLoad(sound4.wav,3,0x20000)", "sampleLoad(sound5.wav,3,0x20000)",
                                   "sampleLoad(fanfaari.wav,2,0x20000)", "sampleLoad(fanfaari2.wav,2,0x20000)"}));
    EXPECT_TRUE(g.soundOn);
    EXPECT_TRUE(g.musicOn);
    EXPECT_EQ(g.musicStream, 1u);
    EXPECT_EQ(g.samples[0], 2u);
    EXPECT_EQ(g.samples[5], 7u);
    for (float c : g.sampleCooldown) EXPECT_EQ(c, 3.0f);
}

TEST(AudioStartup, FailuresOnlySilence) {
    {  // An old mixer: both off, but the calls are still made; no samples are loaded.
        ScopedRecordingAudio audio;
        audio->versionResult = 0x00010008;
        Game g;
        g.startAudio(nullptr);
        EXPECT_FALSE(g.soundOn);
        EXPECT_FALSE(g.musicOn);
        EXPECT_EQ(audio->calls,
                  (Calls{"version()", "init(-1,44100,0,null)", "start()", "streamCreateFile(tune.mp3)"}));
    }
    {  // Version 3.0 is fine; no device is not.
        ScopedRecordingAudio audio;
        audio->versionResult = 0x00030000;
        audio->initResult = false;
        Game g;
        g.startAudio(nullptr);
        EXPECT_FALSE(g.soundOn);
        EXPECT_FALSE(g.musicOn);
    }
    {  // No music: effects still play.
        ScopedRecordingAudio audio;
        audio->missingFiles = {"tune.mp3"};
        Game g;
        g.startAudio(nullptr);
        EXPECT_TRUE(g.soundOn);
        EXPECT_FALSE(g.musicOn);
    }
    {  // One sample missing: no effect at all, music still plays; all six are tried.
        ScopedRecordingAudio audio;
        audio->missingFiles = {"sound4.wav"};
        Game g;
        g.startAudio(nullptr);
        EXPECT_FALSE(g.soundOn);
        EXPECT_TRUE(g.musicOn);
        EXPECT_EQ(audio->callsStartingWith("sampleLoad").size(), 6u);
        g.playSample(0, true);
        g.playSampleNow(4);
        EXPECT_TRUE(audio->callsStartingWith("samplePlay").empty());
    }
}

TEST(AudioVolumes, AppliedOnlyWhileSomethingCanPlay) {
    ScopedRecordingAudio audio;
    Game g;
    g.musicVolume = 30;
    g.effectsVolume = -20;  // passed on as stored; the mixer saturates it
    g.applyVolumes();
    EXPECT_TRUE(audio->calls.empty());
    g.musicOn = 1;
    g.applyVolumes();
    EXPECT_EQ(audio->calls, (Calls{"setGlobalVolumes(30,-20,30)"}));
}

TEST(PlaySample, RateLimitAndCooldown) {
    ScopedRecordingAudio audio;
    Game g;
    g.soundOn = 1;
    for (int i = 0; i < 6; ++i) g.samples[i] = 11 + i;
    for (float& c : g.sampleCooldown) c = 3.0f;

    g.playSample(1, true);
    EXPECT_EQ(g.sampleCooldown[1], 0.0f);
    g.sampleCooldown[1] = 0.1f;
    g.playSample(1, true);  // 0.1 s later: held back
    g.sampleCooldown[1] = 0.2f;
    g.playSample(1, true);  // 0.2 s later: plays
    g.sampleCooldown[1] = 0.05f;
    g.playSample(1, false);  // unlimited, but still restarts the cooldown
    EXPECT_EQ(g.sampleCooldown[1], 0.0f);
    g.sampleCooldown[3] = 0.0f;
    g.playSampleNow(3);  // goal horn: no limit, cooldown untouched
    EXPECT_EQ(g.sampleCooldown[3], 0.0f);
    EXPECT_EQ(audio->calls, (Calls{"samplePlay(12)", "samplePlay(12)", "samplePlay(12)", "samplePlay(14)"}));
}

TEST(AudioShutdown, StopAndFreeAreTheLastCalls) {
    ScopedRecordingAudio audio;
    { Game g; }
    EXPECT_EQ(audio->calls, (Calls{"stop()", "free()"}));
}

}  // namespace
