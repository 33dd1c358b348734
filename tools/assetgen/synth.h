#pragma once
// Small sound-making kit: oscillators, filters, envelopes, a room, and WAV output.
#include <cmath>
#include <cstdint>
#include <vector>

constexpr int kRate = 44100;
constexpr float kTau = 6.2831853f;

using Samples = std::vector<float>;

inline float midiHz(float note) { return 440.0f * std::pow(2.0f, (note - 69.0f) / 12.0f); }
inline int seconds(float s) { return static_cast<int>(std::lround(s * kRate)); }

// Sawtooth with the step smoothed (polyBLEP), so high notes do not alias harshly.
class Saw {
public:
    float next(float hz) {
        const float dt = hz / kRate;
        float v = 2.0f * phase_ - 1.0f;
        v -= blep(phase_, dt);
        phase_ += dt;
        if (phase_ >= 1.0f) phase_ -= 1.0f;
        return v;
    }
    void setPhase(float p) { phase_ = p; }

private:
    static float blep(float t, float dt) {
        if (t < dt) {
            t /= dt;
            return t + t - t * t - 1.0f;
        }
        if (t > 1.0f - dt) {
            t = (t - 1.0f) / dt;
            return t * t + t + t + 1.0f;
        }
        return 0.0f;
    }
    float phase_ = 0;
};

// Two-pole state-variable filter; cutoff may change every sample.
class Svf {
public:
    struct Out {
        float low, band, high;
    };
    Out run(float x, float cutoffHz, float q) {
        const float g = std::tan(3.14159265f * std::min(cutoffHz, 0.45f * kRate) / kRate);
        const float k = 1.0f / q;
        const float a1 = 1.0f / (1.0f + g * (g + k)), a2 = g * a1, a3 = g * a2;
        const float v3 = x - ic2_;
        const float v1 = a1 * ic1_ + a2 * v3;
        const float v2 = ic2_ + a2 * ic1_ + a3 * v3;
        ic1_ = 2 * v1 - ic1_;
        ic2_ = 2 * v2 - ic2_;
        return {v2, v1, x - k * v1 - v2};
    }

private:
    float ic1_ = 0, ic2_ = 0;
};

class OnePole {
public:
    float low(float x, float cutoffHz) {
        const float a = 1.0f - std::exp(-kTau * cutoffHz / kRate);
        y_ += a * (x - y_);
        return y_;
    }
    float high(float x, float cutoffHz) { return x - low(x, cutoffHz); }

private:
    float y_ = 0;
};

// Room: parallel combs into allpasses (a small Schroeder reverb).
class Room {
public:
    explicit Room(float size = 1.0f, float feedback = 0.8f, float damping = 0.3f);
    float run(float x);

private:
    struct Line {
        std::vector<float> buf;
        size_t pos = 0;
        float store = 0;
    };
    Line combs_[4], passes_[2];
    float feedback_, damping_;
};

// Damped sine partial added into out from sample `at`.
void addMode(Samples& out, int at, float hz, float amp, float decaySeconds, float phase = 0);

// 16-bit mono PCM WAV at kRate; the samples are scaled so the loudest reaches `peak`.
std::vector<uint8_t> wavFile(const Samples& s, float peak = 0.89f);
void normalise(Samples& s, float peak);
std::vector<int16_t> toPcm16(const Samples& s);
