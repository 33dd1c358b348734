#include "platform/mp3_frames.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kDecoderDelay = 529;
constexpr int kUsualEncoderDelay = 576;

struct FrameHeader {
    int version = 0;  // 10, 20, 25
    int sampleRate = 0;
    int channels = 0;
    int bitrate = 0;
    int bytes = 0;
    int samples = 0;
    bool crc = false;
};

bool readHeader(const uint8_t* p, FrameHeader* h) {
    static const int kRates[3] = {44100, 48000, 32000};
    static const int kBitratesV1[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
    static const int kBitratesV2[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return false;
    const int versionBits = (p[1] >> 3) & 3, layerBits = (p[1] >> 1) & 3;
    const int bitrateIndex = p[2] >> 4, rateIndex = (p[2] >> 2) & 3;
    if (versionBits == 1 || layerBits != 1 || rateIndex == 3) return false;  // layer III only
    h->version = versionBits == 3 ? 10 : versionBits == 2 ? 20 : 25;
    h->bitrate = (h->version == 10 ? kBitratesV1 : kBitratesV2)[bitrateIndex];
    if (h->bitrate == 0) return false;  // free format or invalid
    h->sampleRate = kRates[rateIndex] / (h->version == 10 ? 1 : h->version == 20 ? 2 : 4);
    h->channels = (p[3] >> 6) == 3 ? 1 : 2;
    h->samples = h->version == 10 ? 1152 : 576;
    const int padding = (p[2] >> 1) & 1;
    h->bytes = (h->samples / 8) * h->bitrate * 1000 / h->sampleRate + padding;
    h->crc = (p[1] & 1) == 0;
    return true;
}

uint32_t be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

// A frame that describes the stream instead of holding sound: Xing/Info after the side
// information, or VBRI at a fixed place. Reads the LAME tag's delay and padding if present.
bool isInfoFrame(const uint8_t* frame, const FrameHeader& h, Mp3Stream* out) {
    const size_t sideInfo = h.version == 10 ? (h.channels == 1 ? 17 : 32) : (h.channels == 1 ? 9 : 17);
    const size_t bytes = size_t(h.bytes);
    const size_t xing = 4 + (h.crc ? 2 : 0) + sideInfo;
    if (bytes >= 36 + 4 && std::memcmp(frame + 36, "VBRI", 4) == 0) return true;
    if (xing + 8 > bytes) return false;
    if (std::memcmp(frame + xing, "Xing", 4) != 0 && std::memcmp(frame + xing, "Info", 4) != 0) return false;
    const uint32_t flags = be32(frame + xing + 4);
    size_t lame = xing + 8;
    if (flags & 1) lame += 4;    // frame count
    if (flags & 2) lame += 4;    // byte count
    if (flags & 4) lame += 100;  // seek table
    if (flags & 8) lame += 4;    // quality
    if (lame + 24 <= bytes && frame[lame] == 'L') {  // "LAME", "Lavc", "Lavf", "L3.99"
        const uint8_t* d = frame + lame + 21;
        out->encoderDelay = d[0] << 4 | d[1] >> 4;
        out->endPadding = (d[1] & 0x0F) << 8 | d[2];
    }
    return true;
}

size_t skipId3v2(const uint8_t* data, size_t size) {
    if (size < 10 || std::memcmp(data, "ID3", 3) != 0) return 0;
    for (int i = 6; i < 10; ++i)
        if (data[i] & 0x80) return 0;
    size_t tag = 10 + (size_t(data[6]) << 21 | size_t(data[7]) << 14 | size_t(data[8]) << 7 | data[9]);
    if (data[5] & 0x10) tag += 10;  // footer
    return tag;
}

}  // namespace

bool scanMp3(const uint8_t* data, size_t size, Mp3Stream* out) {
    if (!data || !out) return false;
    Mp3Stream s;
    size_t at = skipId3v2(data, size);
    FrameHeader first;
    bool started = false;
    // Frames follow each other with no gap; whatever does not continue them (a trailing
    // tag, garbage, a frame cut short) ends the stream.
    while (at < size && size - at >= 4) {
        FrameHeader h;
        if (!readHeader(data + at, &h) || size_t(h.bytes) > size - at) break;
        if (!started) {
            first = h;
            started = true;
            if (isInfoFrame(data + at, h, &s)) {
                s.hasInfoFrame = true;
                at += h.bytes;
                continue;
            }
        } else if (h.version != first.version || h.sampleRate != first.sampleRate || h.channels != first.channels) {
            break;
        }
        if (s.frameCount == 0) {
            s.audioOffset = at;
            s.firstBitrate = h.bitrate;
            s.firstFrameBytes = h.bytes;
        }
        ++s.frameCount;
        at += h.bytes;
    }
    if (s.frameCount == 0) return false;
    s.audioBytes = at - s.audioOffset;
    s.mpegVersion = first.version;
    s.sampleRate = first.sampleRate;
    s.channels = first.channels;
    s.samplesPerFrame = first.samples;
    *out = s;
    return true;
}

Mp3Playable mp3PlayableRange(const Mp3Stream& stream, size_t decoded) {
    const size_t delay = stream.encoderDelay >= 0 ? size_t(stream.encoderDelay) : kUsualEncoderDelay;
    Mp3Playable r;
    r.first = std::min(decoded, delay + kDecoderDelay);
    size_t count = decoded - r.first;
    if (stream.encoderDelay >= 0 && stream.endPadding >= 0) {
        const size_t encoded = stream.frameCount * size_t(stream.samplesPerFrame);
        const size_t trimmed = delay + size_t(stream.endPadding);
        count = std::min(count, encoded > trimmed ? encoded - trimmed : 0);
    }
    r.count = count;
    return r;
}
