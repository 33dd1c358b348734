#pragma once
// The audio system on DirectSound; MP3 is decoded by the system's codec through the Audio
// Compression Manager. The Windows program installs it with installAudioSystem.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/audio_system.h"

AudioSystem* createDirectSoundAudioSystem();

// A 0..100 volume as DirectSound attenuation in hundredths of a decibel: 0 is silence
// (-10000), any other v is 2000 * log10(v / 100), so the amplitude follows the slider
// linearly as on the mixer (50 is -602, 10 is -2000, 1 is -4000). Saturates outside 0..100.
long directSoundVolume(int volume);

// Test hooks: the buffers behind a sample or stream handle and what each one is doing.
struct DirectSoundVoice {
    bool playing = false;
    bool looping = false;
    uint32_t playCursor = 0;  // bytes
    long volume = 0;
    uint64_t playOrder = 0;   // larger started later; 0 never played
};
struct DirectSoundSound {
    uint32_t sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;
    size_t frames = 0;
    std::vector<DirectSoundVoice> voices;
};
bool inspectDirectSoundSample(AudioSystem* system, uint32_t sample, DirectSoundSound* out);
bool inspectDirectSoundStream(AudioSystem* system, uint32_t stream, DirectSoundSound* out);
