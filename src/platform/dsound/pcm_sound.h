#pragma once
// Decoded sound as a DirectSound buffer takes it: interleaved PCM frames.
#include <cstddef>
#include <cstdint>
#include <vector>

struct PcmSound {
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t bitsPerSample = 0;
    std::vector<uint8_t> bytes;

    uint32_t blockAlign() const { return uint32_t(channels) * bitsPerSample / 8; }
    size_t frames() const { return blockAlign() ? bytes.size() / blockAlign() : 0; }
};

// A WAV file's samples; false for anything damaged, cut short or not plain PCM.
bool loadWavSound(const std::vector<uint8_t>& file, PcmSound* out);

// A whole MP3 file decoded to 16-bit PCM by the system's codec through the Audio
// Compression Manager, with the encoder's delay and padding cut off so that it loops
// without a gap. False when the file or the codec fails.
bool decodeMp3Sound(const std::vector<uint8_t>& file, PcmSound* out);

// The whole file; false when it cannot be read or is larger than a sound buffer can be.
bool readSoundFile(const char* path, std::vector<uint8_t>* out);
