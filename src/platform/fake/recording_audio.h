#pragma once
// An audio system for tests: every call is logged with its arguments, in order,
// and the results can be set up in advance.
#include <set>
#include <string>
#include <vector>

#include "platform/audio_system.h"

class RecordingAudio final : public AudioSystem {
public:
    uint32_t version() override;
    bool init(int device, int frequency, uint32_t flags, WindowHandle window) override;
    bool start() override;
    uint32_t streamCreateFile(const char* fileName) override;
    uint32_t sampleLoad(const char* fileName, int maxPlaybacks, uint32_t flags) override;
    void setGlobalVolumes(int music, int samples, int stream) override;
    void samplePlay(uint32_t sample) override;
    void streamPlay(uint32_t stream, bool flush, uint32_t flags) override;
    void stop() override;
    void free() override;

    // Calls as text, e.g. "sampleLoad(sound2.wav,3,0x20000)".
    std::vector<std::string> calls;
    // Only the calls whose text starts with prefix.
    std::vector<std::string> callsStartingWith(const std::string& prefix) const;

    uint32_t versionResult = 0x00020006;
    bool initResult = true;
    bool startResult = true;
    std::set<std::string> missingFiles;  // these load as handle 0
    uint32_t nextHandle = 1;
};

// Installs a recorder for one test and the previous system back afterwards.
class ScopedRecordingAudio {
public:
    ScopedRecordingAudio();
    ~ScopedRecordingAudio();
    ScopedRecordingAudio(const ScopedRecordingAudio&) = delete;
    ScopedRecordingAudio& operator=(const ScopedRecordingAudio&) = delete;
    RecordingAudio* operator->() { return &audio_; }
    const RecordingAudio* operator->() const { return &audio_; }
    RecordingAudio& operator*() { return audio_; }

private:
    RecordingAudio audio_;
    AudioSystem* previous_;
};
