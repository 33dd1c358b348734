// The audio system on DirectSound. Samples get a buffer per simultaneous copy, the music
// is decoded whole at load into one buffer that loops. Any failure leaves the game
// silent; nothing here reports to the player.
#include <windows.h>
#include <dsound.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "platform/dsound/pcm_sound.h"
#include "platform/dsound/sound_voices.h"
#include "platform/dsound_audio.h"
#include "platform/files.h"

namespace {

constexpr uint32_t kDirectSound8 = 0x00080000;  // (major << 16) | minor
constexpr uint32_t kOverrideLongestPlaying = 0x20000;
constexpr uint32_t kLoop = 4;

struct Sample {
    std::unique_ptr<SoundVoices> voices;
    bool takeOldest;
};

class DirectSoundAudio final : public AudioSystem {
public:
    ~DirectSoundAudio() override { free(); }

    uint32_t version() override { return kDirectSound8; }

    bool init(int, int frequency, uint32_t, WindowHandle window) override {
        if (sound_) return true;
        if (FAILED(DirectSoundCreate8(nullptr, &sound_, nullptr))) {
            sound_ = nullptr;
            return false;
        }
        // Priority level so that the output runs at the game's rate and format.
        if (FAILED(sound_->SetCooperativeLevel(static_cast<HWND>(window), DSSCL_PRIORITY))) {
            free();
            return false;
        }
        setOutputFormat(frequency);
        return true;
    }

    bool start() override { return sound_ != nullptr; }

    uint32_t streamCreateFile(const char* fileName) override {
        std::vector<uint8_t> file;
        PcmSound pcm;
        if (!sound_ || !readSoundFile(hostPath(fileName).c_str(), &file) || !decodeMp3Sound(file, &pcm)) return 0;
        auto voices = std::make_unique<SoundVoices>();
        if (!voices->create(sound_, pcm, 1)) return 0;
        voices->setVolume(musicVolume_);
        streams_.push_back(std::move(voices));
        return uint32_t(streams_.size());
    }

    uint32_t sampleLoad(const char* fileName, int maxPlaybacks, uint32_t flags) override {
        std::vector<uint8_t> file;
        PcmSound pcm;
        if (!sound_ || maxPlaybacks < 1 || !readSoundFile(hostPath(fileName).c_str(), &file) ||
            !loadWavSound(file, &pcm))
            return 0;
        auto voices = std::make_unique<SoundVoices>();
        if (!voices->create(sound_, pcm, maxPlaybacks)) return 0;
        voices->setVolume(effectsVolume_);
        samples_.push_back({std::move(voices), (flags & kOverrideLongestPlaying) != 0});
        return uint32_t(samples_.size());
    }

    // The first volume is for tracker music, which this system does not play.
    void setGlobalVolumes(int, int samples, int stream) override {
        effectsVolume_ = directSoundVolume(samples);
        musicVolume_ = directSoundVolume(stream);
        for (Sample& s : samples_) s.voices->setVolume(effectsVolume_);
        for (auto& s : streams_) s->setVolume(musicVolume_);
    }

    void samplePlay(uint32_t sample) override {
        if (sample == 0 || sample > samples_.size()) return;
        const Sample& s = samples_[sample - 1];
        s.voices->playCopy(s.takeOldest, effectsVolume_, ++plays_);
    }

    void streamPlay(uint32_t stream, bool flush, uint32_t flags) override {
        if (stream == 0 || stream > streams_.size()) return;
        streams_[stream - 1]->playOnly(flush, (flags & kLoop) != 0, musicVolume_, ++plays_);
    }

    void stop() override {
        for (Sample& s : samples_) s.voices->stop();
        for (auto& s : streams_) s->stop();
    }

    void free() override {
        samples_.clear();
        streams_.clear();
        if (sound_) sound_->Release();
        sound_ = nullptr;
    }

    SoundVoices* sampleVoices(uint32_t h) { return h && h <= samples_.size() ? samples_[h - 1].voices.get() : nullptr; }
    SoundVoices* streamVoices(uint32_t h) { return h && h <= streams_.size() ? streams_[h - 1].get() : nullptr; }

private:
    // Best effort: without it DirectSound mixes at its own default format.
    void setOutputFormat(int frequency) {
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
        IDirectSoundBuffer* primary = nullptr;
        if (FAILED(sound_->CreateSoundBuffer(&desc, &primary, nullptr))) return;
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 2;
        format.nSamplesPerSec = DWORD(frequency);
        format.wBitsPerSample = 16;
        format.nBlockAlign = 4;
        format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
        primary->SetFormat(&format);
        primary->Release();
    }

    IDirectSound8* sound_ = nullptr;
    std::vector<Sample> samples_;
    std::vector<std::unique_ptr<SoundVoices>> streams_;
    long effectsVolume_ = DSBVOLUME_MAX;
    long musicVolume_ = DSBVOLUME_MAX;
    uint64_t plays_ = 0;
};

bool inspect(SoundVoices* voices, DirectSoundSound* out) {
    if (!voices || !out) return false;
    voices->inspect(out);
    return true;
}

}  // namespace

long directSoundVolume(int volume) {
    if (volume <= 0) return DSBVOLUME_MIN;
    if (volume >= 100) return DSBVOLUME_MAX;
    return std::max<long>(DSBVOLUME_MIN, std::lround(2000.0 * std::log10(volume / 100.0)));
}

AudioSystem* createDirectSoundAudioSystem() { return new DirectSoundAudio(); }

bool inspectDirectSoundSample(AudioSystem* system, uint32_t sample, DirectSoundSound* out) {
    auto* ds = dynamic_cast<DirectSoundAudio*>(system);
    return ds && inspect(ds->sampleVoices(sample), out);
}

bool inspectDirectSoundStream(AudioSystem* system, uint32_t stream, DirectSoundSound* out) {
    auto* ds = dynamic_cast<DirectSoundAudio*>(system);
    return ds && inspect(ds->streamVoices(stream), out);
}
