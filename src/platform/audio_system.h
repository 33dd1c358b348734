#pragma once
// The audio library as the game uses it. Handles are 32-bit; 0 means failure.
#include <cstdint>

#include "platform/window_handle.h"

class AudioSystem {
public:
    virtual ~AudioSystem() = default;
    virtual uint32_t version() = 0;  // (major << 16) | minor
    virtual bool init(int device, int frequency, uint32_t flags, WindowHandle window) = 0;
    virtual bool start() = 0;
    virtual uint32_t streamCreateFile(const char* fileName) = 0;
    // flags 0x20000: a play while every copy is busy takes over the longest-playing one
    virtual uint32_t sampleLoad(const char* fileName, int maxPlaybacks, uint32_t flags) = 0;
    virtual void setGlobalVolumes(int music, int samples, int stream) = 0;  // each 0..100
    virtual void samplePlay(uint32_t sample) = 0;
    virtual void streamPlay(uint32_t stream, bool flush, uint32_t flags) = 0;  // flags 4: loop
    virtual void stop() = 0;
    virtual void free() = 0;
};

// Process-wide audio system. Until one is installed it is a silent one that fails to start.
AudioSystem& audioSystem();
void installAudioSystem(AudioSystem* system);
