#include <cstdio>

#include "platform/dsound/pcm_sound.h"
#include "platform/wav_reader.h"

namespace {
constexpr long kMaxFileBytes = 0x0FFFFFFF;  // the largest sound buffer
}

bool readSoundFile(const char* path, std::vector<uint8_t>* out) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    bool ok = size >= 0 && size <= kMaxFileBytes && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        out->resize(size_t(size));
        ok = size == 0 || std::fread(out->data(), 1, out->size(), f) == out->size();
    }
    std::fclose(f);
    return ok;
}

bool loadWavSound(const std::vector<uint8_t>& file, PcmSound* out) {
    WavPcm wav;
    if (!parseWav(file.data(), file.size(), &wav)) return false;
    out->channels = wav.channels;
    out->sampleRate = wav.sampleRate;
    out->bitsPerSample = wav.bitsPerSample;
    out->bytes.assign(file.begin() + wav.dataOffset, file.begin() + wav.dataOffset + wav.dataBytes);
    return true;
}
