#include "platform/fake/recording_audio.h"

#include <cstdio>

namespace {
std::string hex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", v);
    return buf;
}
}  // namespace

uint32_t RecordingAudio::version() {
    calls.push_back("version()");
    return versionResult;
}

bool RecordingAudio::init(int device, int frequency, uint32_t flags, WindowHandle window) {
    calls.push_back("init(" + std::to_string(device) + "," + std::to_string(frequency) + "," +
                    std::to_string(flags) + "," + (window ? "window" : "null") + ")");
    return initResult;
}

bool RecordingAudio::start() {
    calls.push_back("start()");
    return startResult;
}

uint32_t RecordingAudio::streamCreateFile(const char* fileName) {
    calls.push_back(std::string("streamCreateFile(") + fileName + ")");
    return missingFiles.count(fileName) ? 0 : nextHandle++;
}

uint32_t RecordingAudio::sampleLoad(const char* fileName, int maxPlaybacks, uint32_t flags) {
    calls.push_back(std::string("sampleLoad(") + fileName + "," + std::to_string(maxPlaybacks) + "," +
                    hex(flags) + ")");
    return missingFiles.count(fileName) ? 0 : nextHandle++;
}

void RecordingAudio::setGlobalVolumes(int music, int samples, int stream) {
    calls.push_back("setGlobalVolumes(" + std::to_string(music) + "," + std::to_string(samples) + "," +
                    std::to_string(stream) + ")");
}

void RecordingAudio::samplePlay(uint32_t sample) { calls.push_back("samplePlay(" + std::to_string(sample) + ")"); }

void RecordingAudio::streamPlay(uint32_t stream, bool flush, uint32_t flags) {
    calls.push_back("streamPlay(" + std::to_string(stream) + "," + (flush ? "true" : "false") + "," +
                    std::to_string(flags) + ")");
}

void RecordingAudio::stop() { calls.push_back("stop()"); }
void RecordingAudio::free() { calls.push_back("free()"); }

std::vector<std::string> RecordingAudio::callsStartingWith(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& c : calls)
        if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
    return out;
}

ScopedRecordingAudio::ScopedRecordingAudio() : previous_(&audioSystem()) { installAudioSystem(&audio_); }

ScopedRecordingAudio::~ScopedRecordingAudio() { installAudioSystem(previous_); }
