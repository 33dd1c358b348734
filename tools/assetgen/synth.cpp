#include "synth.h"

#include <algorithm>

Room::Room(float size, float feedback, float damping) : feedback_(feedback), damping_(damping) {
    const int combLengths[4] = {1557, 1617, 1491, 1422};
    const int passLengths[2] = {556, 441};
    for (int i = 0; i < 4; ++i) combs_[i].buf.assign(static_cast<size_t>(combLengths[i] * size), 0.0f);
    for (int i = 0; i < 2; ++i) passes_[i].buf.assign(static_cast<size_t>(passLengths[i] * size), 0.0f);
}

float Room::run(float x) {
    float sum = 0;
    for (Line& c : combs_) {
        const float y = c.buf[c.pos];
        c.store = y * (1 - damping_) + c.store * damping_;
        c.buf[c.pos] = x + c.store * feedback_;
        if (++c.pos == c.buf.size()) c.pos = 0;
        sum += y;
    }
    float y = sum * 0.25f;
    for (Line& p : passes_) {
        const float b = p.buf[p.pos];
        p.buf[p.pos] = y + b * 0.5f;
        if (++p.pos == p.buf.size()) p.pos = 0;
        y = b - y;
    }
    return y;
}

void addMode(Samples& out, int at, float hz, float amp, float decaySeconds, float phase) {
    const int n = std::min(static_cast<int>(out.size()) - at, seconds(decaySeconds * 7));
    const float w = kTau * hz / kRate, k = std::exp(-1.0f / (decaySeconds * kRate));
    float env = amp;
    for (int i = 0; i < n; ++i) {
        out[at + i] += env * std::sin(w * i + phase);
        env *= k;
    }
}

void normalise(Samples& s, float peak) {
    float top = 0;
    for (float v : s) top = std::max(top, std::fabs(v));
    if (top <= 0) return;
    const float k = peak / top;
    for (float& v : s) v *= k;
}

std::vector<int16_t> toPcm16(const Samples& s) {
    std::vector<int16_t> out(s.size());
    for (size_t i = 0; i < s.size(); ++i)
        out[i] = static_cast<int16_t>(std::lround(std::clamp(s[i], -1.0f, 1.0f) * 32767.0f));
    return out;
}

std::vector<uint8_t> wavFile(const Samples& input, float peak) {
    Samples s = input;
    normalise(s, peak);
    const std::vector<int16_t> pcm = toPcm16(s);
    const uint32_t dataBytes = static_cast<uint32_t>(pcm.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    auto u16 = [&](uint16_t v) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto tag = [&](const char* t) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(t[i]));
    };
    tag("RIFF");
    u32(36 + dataBytes);
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    tag("data");
    u32(dataBytes);
    for (int16_t v : pcm) u16(static_cast<uint16_t>(v));
    return out;
}
