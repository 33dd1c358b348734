// MP3 to PCM through the Audio Compression Manager. We find the frames ourselves, tell the
// codec their format and feed it the sound frames only (the encoder's Info frame would
// come out as a frame of silence), then cut the delays so that the loop is seamless.
#include <windows.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <utility>

#include "platform/dsound/pcm_sound.h"
#include "platform/mp3_frames.h"

namespace {

constexpr size_t kChunkBytes = 16 * 1024;

class AcmStream {
public:
    ~AcmStream() {
        if (handle_) acmStreamClose(handle_, 0);
    }
    bool open(WAVEFORMATEX* from, WAVEFORMATEX* to) {
        return acmStreamOpen(&handle_, nullptr, from, to, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) == 0;
    }
    // One conversion; false when the codec refuses it.
    bool convert(uint8_t* src, DWORD srcBytes, uint8_t* dst, DWORD dstBytes, DWORD flags, DWORD* srcUsed,
                 DWORD* dstUsed) {
        ACMSTREAMHEADER h{};
        h.cbStruct = sizeof h;
        h.pbSrc = src;
        h.cbSrcLength = srcBytes;
        h.pbDst = dst;
        h.cbDstLength = dstBytes;
        if (acmStreamPrepareHeader(handle_, &h, 0) != 0) return false;
        const bool ok = acmStreamConvert(handle_, &h, flags) == 0;
        *srcUsed = std::min(h.cbSrcLengthUsed, srcBytes);
        *dstUsed = std::min(h.cbDstLengthUsed, dstBytes);
        h.cbSrcLength = srcBytes;  // unprepare wants the lengths it was prepared with
        h.cbDstLength = dstBytes;
        acmStreamUnprepareHeader(handle_, &h, 0);
        return ok;
    }

private:
    HACMSTREAM handle_ = nullptr;
};

MPEGLAYER3WAVEFORMAT layer3Format(const Mp3Stream& s) {
    MPEGLAYER3WAVEFORMAT f{};
    f.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    f.wfx.nChannels = WORD(s.channels);
    f.wfx.nSamplesPerSec = DWORD(s.sampleRate);
    f.wfx.nAvgBytesPerSec = DWORD(s.firstBitrate) * 1000 / 8;
    f.wfx.nBlockAlign = 1;
    f.wfx.wBitsPerSample = 0;
    f.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    f.wID = MPEGLAYER3_ID_MPEG;
    f.fdwFlags = MPEGLAYER3_FLAG_PADDING_ISO;
    f.nBlockSize = WORD(s.samplesPerFrame / 8 * s.firstBitrate * 1000 / s.sampleRate);
    f.nFramesPerBlock = 1;
    f.nCodecDelay = WORD(std::max(s.encoderDelay, 0));  // 0: not known
    return f;
}

// Room for everything one chunk can decode to: the most frames that fit in it at the
// lowest bit rate, and a couple the codec may still hold. Some codecs spin when their
// output buffer fills, so it must never fill.
size_t outputRoom(const Mp3Stream& s, uint32_t blockAlign) {
    const int lowestKbps = s.mpegVersion == 10 ? 32 : 8;
    const size_t smallestFrame = size_t(s.samplesPerFrame / 8) * lowestKbps * 1000 / s.sampleRate;
    return (kChunkBytes / smallestFrame + 3) * s.samplesPerFrame * blockAlign;
}

}  // namespace

bool decodeMp3Sound(const std::vector<uint8_t>& file, PcmSound* out) {
    Mp3Stream s;
    if (!scanMp3(file.data(), file.size(), &s)) return false;
    MPEGLAYER3WAVEFORMAT mp3 = layer3Format(s);
    WAVEFORMATEX pcm{};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    pcm.wBitsPerSample = 16;
    if (acmFormatSuggest(nullptr, &mp3.wfx, &pcm, sizeof pcm,
                         ACM_FORMATSUGGESTF_WFORMATTAG | ACM_FORMATSUGGESTF_WBITSPERSAMPLE) != 0)
        return false;
    // The trimming counts samples of the file's own rate and channels.
    if (pcm.wFormatTag != WAVE_FORMAT_PCM || pcm.wBitsPerSample != 16 || pcm.nChannels != s.channels ||
        pcm.nSamplesPerSec != DWORD(s.sampleRate))
        return false;
    pcm.nBlockAlign = WORD(pcm.nChannels * 2);
    pcm.nAvgBytesPerSec = pcm.nSamplesPerSec * pcm.nBlockAlign;
    AcmStream stream;
    if (!stream.open(&mp3.wfx, &pcm)) return false;

    const uint32_t blockAlign = pcm.nBlockAlign;
    const size_t most = (s.frameCount + 4) * s.samplesPerFrame * blockAlign;
    std::vector<uint8_t> decoded;
    decoded.reserve(most);
    std::vector<uint8_t> src(kChunkBytes), dst(outputRoom(s, blockAlign));
    size_t at = s.audioOffset;
    const size_t end = s.audioOffset + s.audioBytes;
    bool first = true;
    for (;;) {
        const size_t n = std::min(kChunkBytes, end - at);
        std::copy_n(file.begin() + at, n, src.begin());
        DWORD flags = ACM_STREAMCONVERTF_BLOCKALIGN;
        if (first) flags |= ACM_STREAMCONVERTF_START;
        if (at + n == end) flags |= ACM_STREAMCONVERTF_END;
        DWORD used = 0, made = 0;
        if (!stream.convert(src.data(), DWORD(n), dst.data(), DWORD(dst.size()), flags, &used, &made)) {
            if (n == 0) break;  // a codec that takes no empty call to give what it still holds
            return false;
        }
        first = false;
        at += used;
        decoded.insert(decoded.end(), dst.begin(), dst.begin() + made);
        if (decoded.size() > most) return false;  // more than the frames can hold
        if (made == 0 && (used == 0 || at == end)) break;  // drained, or no progress
    }
    const Mp3Playable keep = mp3PlayableRange(s, decoded.size() / blockAlign);
    if (keep.count == 0) return false;
    decoded.resize((keep.first + keep.count) * blockAlign);
    decoded.erase(decoded.begin(), decoded.begin() + keep.first * blockAlign);
    out->channels = pcm.nChannels;
    out->sampleRate = pcm.nSamplesPerSec;
    out->bitsPerSample = 16;
    out->bytes = std::move(decoded);
    return true;
}
