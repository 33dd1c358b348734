#include "platform/wav_reader.h"

#include <cstring>

namespace {

// Limits of a sound buffer: its frequency range and largest size.
constexpr uint32_t kMinRate = 100;
constexpr uint32_t kMaxRate = 200000;
constexpr size_t kMaxDataBytes = 0x0FFFFFFF;

uint32_t u32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t u16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
bool is(const uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

bool readFormat(const uint8_t* body, size_t bytes, WavPcm* out) {
    if (bytes < 16 || u16(body) != 1) return false;  // 1: plain PCM
    out->channels = u16(body + 2);
    out->sampleRate = u32(body + 4);
    out->blockAlign = u16(body + 12);
    out->bitsPerSample = u16(body + 14);
    if (out->channels != 1 && out->channels != 2) return false;
    if (out->bitsPerSample != 8 && out->bitsPerSample != 16) return false;
    if (out->sampleRate < kMinRate || out->sampleRate > kMaxRate) return false;
    return out->blockAlign == out->channels * out->bitsPerSample / 8;
}

}  // namespace

bool parseWav(const uint8_t* data, size_t size, WavPcm* out) {
    if (!data || !out || size < 12 || !is(data, "RIFF") || !is(data + 8, "WAVE")) return false;
    // A RIFF size beyond the file means the file was cut short.
    const size_t riffEnd = size_t(u32(data + 4)) + 8;
    if (riffEnd > size || riffEnd < 12) return false;

    WavPcm found;
    bool haveFormat = false, haveData = false;
    size_t at = 12;
    while (riffEnd - at >= 8) {
        const uint8_t* header = data + at;
        const size_t bytes = u32(header + 4);
        at += 8;
        if (bytes > riffEnd - at) return false;
        const uint8_t* body = data + at;
        if (is(header, "fmt ") && !haveFormat) {
            if (!readFormat(body, bytes, &found)) return false;
            haveFormat = true;
        } else if (is(header, "data") && !haveData) {
            found.dataOffset = at;
            found.dataBytes = bytes;
            haveData = true;
        }
        at += bytes;
        if ((bytes & 1) && at < riffEnd) ++at;  // chunks are padded to even sizes
    }
    if (!haveFormat || !haveData) return false;
    found.dataBytes -= found.dataBytes % found.blockAlign;
    if (found.dataBytes == 0 || found.dataBytes > kMaxDataBytes) return false;
    *out = found;
    return true;
}
