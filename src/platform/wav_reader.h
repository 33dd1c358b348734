#pragma once
// Reads the PCM layout of a RIFF/WAVE file held in memory. Only what a sound buffer can
// take is accepted: plain PCM, 1 or 2 channels, 8 or 16 bits. Anything damaged, cut short
// or of another kind is refused; nothing is read outside the bytes given.
#include <cstddef>
#include <cstdint>

struct WavPcm {
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t bitsPerSample = 0;
    uint16_t blockAlign = 0;  // bytes of one frame (all channels)
    size_t dataOffset = 0;    // where the samples start in the file
    size_t dataBytes = 0;     // whole frames only, never 0 on success
};

bool parseWav(const uint8_t* data, size_t size, WavPcm* out);
