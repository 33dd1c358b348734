#pragma once
// Walks the frames of an MPEG audio layer III file held in memory, so that a system codec
// can be told the stream's format and fed whole frames. The encoder's Info/Xing (or VBRI)
// frame carries no sound and is left out; its LAME tag gives the encoder delay and end
// padding, which the player trims so that a looped file has no gap. Nothing is read
// outside the bytes given; a file with no whole frame is refused.
#include <cstddef>
#include <cstdint>

struct Mp3Stream {
    int mpegVersion = 0;      // 10 for MPEG-1, 20 for MPEG-2, 25 for MPEG-2.5
    int sampleRate = 0;
    int channels = 0;
    int samplesPerFrame = 0;  // 1152 for MPEG-1, 576 for the others
    int firstBitrate = 0;     // kbit/s of the first sound frame
    int firstFrameBytes = 0;
    size_t audioOffset = 0;   // the sound frames, back to back
    size_t audioBytes = 0;
    size_t frameCount = 0;
    bool hasInfoFrame = false;
    int encoderDelay = -1;    // samples, from the LAME tag; -1 when the file gives none
    int endPadding = -1;
};

bool scanMp3(const uint8_t* data, size_t size, Mp3Stream* out);

// The part of a decoder's output that is the encoded sound: decoders add 529 samples of
// their own delay in front of the encoder's. `decoded` is how many samples (per channel)
// the decoder gave; the range is clamped to them.
struct Mp3Playable {
    size_t first = 0;
    size_t count = 0;
};
Mp3Playable mp3PlayableRange(const Mp3Stream& stream, size_t decoded);
