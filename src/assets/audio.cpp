// Sound effects and music. Audio is optional: every failure here only silences the game.
#include "platform/audio_system.h"
#include "sim/game.h"

namespace {

constexpr uint32_t kVersion2 = 0x00020000;  // (major << 16) | minor: 2.0 and newer work
constexpr uint32_t kOverrideLongestPlaying = 0x20000;
constexpr float kRateLimit = 0.2f;

struct SampleFile {
    const char* name;
    int maxPlaybacks;
};
constexpr SampleFile kSampleFiles[6] = {{"sound2.wav", 3}, {"sound3.wav", 3},   {"sound4.wav", 3},
                                        {"sound5.wav", 3}, {"fanfaari.wav", 2}, {"fanfaari2.wav", 2}};

}  // namespace

void Game::startAudio(WindowHandle window) {
    AudioSystem& audio = audioSystem();
    for (float& c : sampleCooldown) c = 3.0f;
    soundOn = musicOn = 1;
    // The calls after a failed test are made all the same; they only fail quietly.
    if (audio.version() < kVersion2) soundOn = musicOn = 0;
    if (!audio.init(-1, 44100, 0, window)) soundOn = musicOn = 0;
    if (!audio.start()) soundOn = musicOn = 0;
    musicStream = audio.streamCreateFile("tune.mp3");
    if (musicStream == 0) musicOn = 0;
    if (soundOn) {
        for (int i = 0; i < 6; ++i)
            samples[i] = audio.sampleLoad(kSampleFiles[i].name, kSampleFiles[i].maxPlaybacks,
                                          kOverrideLongestPlaying);
        for (uint32_t handle : samples)
            if (handle == 0) soundOn = 0;
    }
}

void Game::applyVolumes() {
    if (musicOn || soundOn) audioSystem().setGlobalVolumes(musicVolume, effectsVolume, musicVolume);
}

void Game::playSample(int index, bool rateLimited) {
    if (index < 0 || index >= 6) return;
    if (rateLimited && sampleCooldown[index] < kRateLimit) return;
    if (!soundOn) return;
    audioSystem().samplePlay(samples[index]);
    sampleCooldown[index] = 0.0f;
}

void Game::playSampleNow(int index) {
    if (index < 0 || index >= 6 || !soundOn) return;
    audioSystem().samplePlay(samples[index]);
}
