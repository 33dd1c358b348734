// The audio system on SDL2_mixer. Every sample gets a channel group of its own,
// sized by its playback limit; when all are busy the oldest copy is taken over.
// Any failure leaves the game silent; nothing here reports to the player.
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <vector>

#include "platform/files.h"
#include "platform/mixer_audio.h"

namespace {

constexpr uint32_t kOverrideLongestPlaying = 0x20000;
constexpr uint32_t kLoop = 4;

class MixerAudio final : public AudioSystem {
public:
    ~MixerAudio() override { free(); }

    uint32_t version() override {
        const SDL_version* v = Mix_Linked_Version();
        return v ? (uint32_t(v->major) << 16) | v->minor : 0;
    }

    bool init(int, int frequency, uint32_t, WindowHandle) override {
        if (open_) return true;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        Mix_Init(MIX_INIT_MP3);
        if (Mix_OpenAudio(frequency, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
            Mix_Quit();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        Mix_AllocateChannels(0);
        channels_ = 0;
        open_ = true;
        return true;
    }

    bool start() override {
        if (!open_) return false;
        Mix_Resume(-1);
        Mix_ResumeMusic();
        return true;
    }

    uint32_t streamCreateFile(const char* fileName) override {
        if (!open_) return 0;
        Mix_Music* music = Mix_LoadMUS(hostPath(fileName).c_str());
        if (!music) return 0;
        musics_.push_back(music);
        return uint32_t(musics_.size());
    }

    uint32_t sampleLoad(const char* fileName, int maxPlaybacks, uint32_t flags) override {
        if (!open_ || maxPlaybacks < 1) return 0;
        Mix_Chunk* chunk = Mix_LoadWAV(hostPath(fileName).c_str());
        if (!chunk) return 0;
        const int first = channels_;
        if (Mix_AllocateChannels(first + maxPlaybacks) != first + maxPlaybacks) {
            Mix_FreeChunk(chunk);
            return 0;
        }
        channels_ = first + maxPlaybacks;
        const int tag = int(samples_.size()) + 1;
        Mix_GroupChannels(first, channels_ - 1, tag);
        samples_.push_back({chunk, tag, (flags & kOverrideLongestPlaying) != 0});
        return uint32_t(tag);
    }

    void setGlobalVolumes(int, int samples, int stream) override {
        effectsVolume_ = mixerVolume(samples);
        if (!open_) return;
        Mix_Volume(-1, effectsVolume_);
        Mix_VolumeMusic(mixerVolume(stream));
    }

    void samplePlay(uint32_t sample) override {
        if (!open_ || sample == 0 || sample > samples_.size()) return;
        const Sample& s = samples_[sample - 1];
        int channel = Mix_GroupAvailable(s.tag);
        if (channel < 0 && s.overrideOldest) channel = Mix_GroupOldest(s.tag);
        if (channel < 0) return;
        Mix_Volume(channel, effectsVolume_);
        Mix_PlayChannel(channel, s.chunk, 0);
    }

    void streamPlay(uint32_t stream, bool, uint32_t flags) override {
        if (!open_ || stream == 0 || stream > musics_.size()) return;
        Mix_PlayMusic(musics_[stream - 1], (flags & kLoop) ? -1 : 1);
    }

    void stop() override {
        if (!open_) return;
        Mix_HaltChannel(-1);
        Mix_HaltMusic();
    }

    void free() override {
        if (!open_) return;
        Mix_HaltChannel(-1);
        Mix_HaltMusic();
        for (const Sample& s : samples_) Mix_FreeChunk(s.chunk);
        for (Mix_Music* m : musics_) Mix_FreeMusic(m);
        samples_.clear();
        musics_.clear();
        channels_ = 0;
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        open_ = false;
    }

private:
    struct Sample {
        Mix_Chunk* chunk;
        int tag;
        bool overrideOldest;
    };
    bool open_ = false;
    int channels_ = 0;
    int effectsVolume_ = MIX_MAX_VOLUME;
    std::vector<Sample> samples_;
    std::vector<Mix_Music*> musics_;
};

}  // namespace

int mixerVolume(int volume) { return std::clamp(volume, 0, 100) * MIX_MAX_VOLUME / 100; }

AudioSystem* createMixerAudioSystem() { return new MixerAudio(); }
