#include "platform/dsound/sound_voices.h"

#include <algorithm>
#include <cstring>

bool SoundVoices::create(IDirectSound8* sound, PcmSound pcm, int copies) {
    release();
    if (!sound || copies < 1 || pcm.bytes.empty()) return false;
    pcm_ = std::move(pcm);
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = pcm_.channels;
    format.nSamplesPerSec = pcm_.sampleRate;
    format.wBitsPerSample = pcm_.bitsPerSample;
    format.nBlockAlign = WORD(pcm_.blockAlign());
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_STATIC;
    desc.dwBufferBytes = DWORD(pcm_.bytes.size());
    desc.lpwfxFormat = &format;
    IDirectSoundBuffer* first = nullptr;
    if (FAILED(sound->CreateSoundBuffer(&desc, &first, nullptr))) return false;
    buffers_.push_back(first);
    if (!fill(first)) {
        release();
        return false;
    }
    while (int(buffers_.size()) < copies) {
        IDirectSoundBuffer* copy = nullptr;
        if (FAILED(sound->DuplicateSoundBuffer(first, &copy))) {
            // Some drivers cannot share: a buffer of its own does the same.
            if (FAILED(sound->CreateSoundBuffer(&desc, &copy, nullptr))) {
                release();
                return false;
            }
            buffers_.push_back(copy);
            if (!fill(copy)) {
                release();
                return false;
            }
            continue;
        }
        buffers_.push_back(copy);
    }
    started_.assign(buffers_.size(), 0);
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

bool SoundVoices::fill(IDirectSoundBuffer* b) const {
    void *a = nullptr, *c = nullptr;
    DWORD an = 0, cn = 0;
    if (FAILED(b->Lock(0, 0, &a, &an, &c, &cn, DSBLOCK_ENTIREBUFFER))) return false;
    std::memcpy(a, pcm_.bytes.data(), std::min<size_t>(an, pcm_.bytes.size()));
    b->Unlock(a, an, c, cn);
    return an == pcm_.bytes.size();
}

bool SoundVoices::playing(IDirectSoundBuffer* b) const {
    DWORD status = 0;
    return SUCCEEDED(b->GetStatus(&status)) && (status & DSBSTATUS_PLAYING);
}

bool SoundVoices::start(size_t copy, DWORD flags, long volume, uint64_t order) {
    IDirectSoundBuffer* b = buffers_[copy];
    b->SetVolume(volume);
    HRESULT hr = b->Play(0, 0, flags);
    // A lost buffer (another program took the device) is restored and filled again.
    if (hr == DSERR_BUFFERLOST && SUCCEEDED(b->Restore()) && fill(b)) hr = b->Play(0, 0, flags);
    if (FAILED(hr)) return false;
    started_[copy] = order;
    return true;
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
    out->sampleRate = pcm_.sampleRate;
    out->channels = pcm_.channels;
    out->bitsPerSample = pcm_.bitsPerSample;
    out->frames = pcm_.frames();
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
