#pragma once
// One sound in DirectSound: a buffer per copy that may sound at the same time. Copies
// share the first buffer's memory. The buffers are mixed in software, so they are never
// lost and need not be filled again.
#include <windows.h>
#include <dsound.h>

#include <vector>

#include "platform/dsound_audio.h"
#include "platform/dsound/pcm_sound.h"

class SoundVoices {
public:
    SoundVoices() = default;
    SoundVoices(const SoundVoices&) = delete;
    SoundVoices& operator=(const SoundVoices&) = delete;
    ~SoundVoices() { release(); }

    bool create(IDirectSound8* sound, const PcmSound& pcm, int copies);
    void release();

    // A free copy from the start; with none free, the one that started longest ago when
    // takeOldest, else nothing.
    void playCopy(bool takeOldest, long volume, uint64_t order);
    // The only copy: from the start when flush, else from where it stopped.
    void playOnly(bool flush, bool loop, long volume, uint64_t order);
    void setVolume(long volume);
    void stop();
    void inspect(DirectSoundSound* out) const;

private:
    bool playing(IDirectSoundBuffer* b) const;
    void start(size_t copy, DWORD flags, long volume, uint64_t order);

    uint16_t channels_ = 0, bitsPerSample_ = 0;
    uint32_t sampleRate_ = 0;
    size_t frames_ = 0;
    std::vector<IDirectSoundBuffer*> buffers_;
    std::vector<uint64_t> started_;
};
