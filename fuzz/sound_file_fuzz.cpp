// The sound-file readers of the DirectSound backend, which read files the player can
// replace. Input: a flag byte (bit 0: an MP3 stream, else a WAV sample), then the file.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "platform/mp3_frames.h"
#include "platform/wav_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t* file = data + 1;
    const size_t fileSize = size - 1;
    if (data[0] & 1) {
        Mp3Stream s;
        if (!scanMp3(file, fileSize, &s)) return 0;
        fuzzCheck(s.frameCount > 0, "a stream has a sound frame");
        fuzzCheck(s.audioOffset < fileSize && s.audioBytes <= fileSize - s.audioOffset, "frames within the file",
                  double(s.audioOffset), double(s.audioBytes));
        fuzzCheck(s.audioBytes >= s.frameCount * 24, "frames have their size", double(s.audioBytes));
        fuzzCheck(s.channels == 1 || s.channels == 2, "one or two channels", s.channels);
        fuzzCheck(s.samplesPerFrame == 1152 || s.samplesPerFrame == 576, "layer III frame length");
        fuzzCheck(s.sampleRate >= 8000 && s.sampleRate <= 48000, "an MPEG rate", s.sampleRate);
        fuzzCheck(s.encoderDelay < 4096 && s.endPadding < 4096, "12-bit delays", s.encoderDelay, s.endPadding);
        // Whatever a decoder gives, the kept range lies inside it.
        for (size_t decoded : {size_t(0), size_t(1104), s.frameCount * s.samplesPerFrame, size_t(1) << 40}) {
            const Mp3Playable p = mp3PlayableRange(s, decoded);
            fuzzCheck(p.first <= decoded && p.count <= decoded - p.first, "kept range inside the output",
                      double(p.first), double(p.count));
        }
    } else {
        WavPcm w;
        if (!parseWav(file, fileSize, &w)) return 0;
        fuzzCheck(w.dataBytes > 0 && w.dataOffset >= 20, "samples after the headers", double(w.dataOffset));
        fuzzCheck(w.dataOffset <= fileSize && w.dataBytes <= fileSize - w.dataOffset, "samples within the file",
                  double(w.dataOffset), double(w.dataBytes));
        fuzzCheck(w.blockAlign == w.channels * w.bitsPerSample / 8 && w.dataBytes % w.blockAlign == 0,
                  "whole frames", w.blockAlign, double(w.dataBytes));
    }
    return 0;
}
