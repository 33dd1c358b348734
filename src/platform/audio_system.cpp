#include "platform/audio_system.h"

namespace {
// Stands in until the program installs a real one: it never starts, so the game runs silent.
class SilentAudio final : public AudioSystem {
public:
    uint32_t version() override { return 0; }
    bool init(int, int, uint32_t, WindowHandle) override { return false; }
    bool start() override { return false; }
    uint32_t streamCreateFile(const char*) override { return 0; }
    uint32_t sampleLoad(const char*, int, uint32_t) override { return 0; }
    void setGlobalVolumes(int, int, int) override {}
    void samplePlay(uint32_t) override {}
    void streamPlay(uint32_t, bool, uint32_t) override {}
    void stop() override {}
    void free() override {}
};

AudioSystem* g_installed = nullptr;
}  // namespace

AudioSystem& audioSystem() {
    static SilentAudio silent;
    return g_installed ? *g_installed : silent;
}

void installAudioSystem(AudioSystem* system) { g_installed = system; }
