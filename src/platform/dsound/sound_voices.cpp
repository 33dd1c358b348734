#include "platform/dsound/sound_voices.h"

#include <algorithm>
#include <cstring>

namespace {

bool fill(IDirectSoundBuffer* b, const PcmSound& pcm) {
    void *a = nullptr, *c = nullptr;
    DWORD an = 0, cn = 0;
    if (FAILED(b->Lock(0, 0, &a, &an, &c, &cn, DSBLOCK_ENTIREBUFFER))) return false;
    std::memcpy(a, pcm.bytes.data(), std::min<size_t>(an, pcm.bytes.size()));
    b->Unlock(a, an, c, cn);
    return an == pcm.bytes.size();
}

}  // namespace

bool SoundVoices::create(IDirectSound8* sound, const PcmSound& pcm, int copies) {
    release();
    if (!sound || copies < 1 || pcm.bytes.empty()) return false;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = pcm.channels;
    format.nSamplesPerSec = pcm.sampleRate;
    format.wBitsPerSample = pcm.bitsPerSample;
    format.nBlockAlign = WORD(pcm.blockAlign());
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_LOCSOFTWARE;
    desc.dwBufferBytes = DWORD(pcm.bytes.size());
    desc.lpwfxFormat = &format;
    while (int(buffers_.size()) < copies) {
        IDirectSoundBuffer* b = nullptr;
        // Copies share the first one's memory; where a driver cannot, a buffer of its own.
        const bool shared = !buffers_.empty() && SUCCEEDED(sound->DuplicateSoundBuffer(buffers_[0], &b));
        if (!shared && FAILED(sound->CreateSoundBuffer(&desc, &b, nullptr))) {
            release();
            return false;
        }
        buffers_.push_back(b);
        if (!shared && !fill(b, pcm)) {
            release();
            return false;
        }
    }
    started_.assign(buffers_.size(), 0);
    channels_ = pcm.channels;
    bitsPerSample_ = pcm.bitsPerSample;
    sampleRate_ = pcm.sampleRate;
    frames_ = pcm.frames();
    return true;
}

void SoundVoices::release() {
    for (IDirectSoundBuffer* b : buffers_) {
        b->Stop();
        b->Release();
    }
    buffers_.clear();
    started_.clear();
}

bool SoundVoices::playing(IDirectSoundBuffer* b) const {
    DWORD status = 0;
    return SUCCEEDED(b->GetStatus(&status)) && (status & DSBSTATUS_PLAYING);
}

void SoundVoices::start(size_t copy, DWORD flags, long volume, uint64_t order) {
    buffers_[copy]->SetVolume(volume);
    if (SUCCEEDED(buffers_[copy]->Play(0, 0, flags))) started_[copy] = order;
}

void SoundVoices::playCopy(bool takeOldest, long volume, uint64_t order) {
    if (buffers_.empty()) return;
    size_t pick = buffers_.size();
    for (size_t i = 0; i < buffers_.size() && pick == buffers_.size(); ++i)
        if (!playing(buffers_[i])) pick = i;
    if (pick == buffers_.size()) {
        if (!takeOldest) return;
        pick = size_t(std::min_element(started_.begin(), started_.end()) - started_.begin());
        buffers_[pick]->Stop();
    }
    buffers_[pick]->SetCurrentPosition(0);
    start(pick, 0, volume, order);
}

void SoundVoices::playOnly(bool flush, bool loop, long volume, uint64_t order) {
    if (buffers_.empty()) return;
    if (flush) buffers_[0]->SetCurrentPosition(0);
    start(0, loop ? DSBPLAY_LOOPING : 0, volume, order);
}

void SoundVoices::setVolume(long volume) {
    for (IDirectSoundBuffer* b : buffers_) b->SetVolume(volume);
}

void SoundVoices::stop() {
    for (IDirectSoundBuffer* b : buffers_) b->Stop();
}

void SoundVoices::inspect(DirectSoundSound* out) const {
    out->sampleRate = sampleRate_;
    out->channels = channels_;
    out->bitsPerSample = bitsPerSample_;
    out->frames = frames_;
    out->voices.clear();
    for (size_t i = 0; i < buffers_.size(); ++i) {
        DirectSoundVoice v;
        DWORD status = 0, play = 0, write = 0;
        LONG volume = 0;
        if (SUCCEEDED(buffers_[i]->GetStatus(&status))) {
            v.playing = status & DSBSTATUS_PLAYING;
            v.looping = status & DSBSTATUS_LOOPING;
        }
        if (SUCCEEDED(buffers_[i]->GetCurrentPosition(&play, &write))) v.playCursor = play;
        if (SUCCEEDED(buffers_[i]->GetVolume(&volume))) v.volume = volume;
        v.playOrder = started_[i];
        out->voices.push_back(v);
    }
}
