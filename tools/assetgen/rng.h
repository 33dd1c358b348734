#pragma once
// Seeded randomness: the same numbers on every run, from integer hashing only.
#include <cstdint>

inline uint32_t hash32(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

// A float in [0, 1) for a lattice point.
inline float hashUnit(uint32_t i, uint32_t j, uint32_t seed) {
    return (hash32(i * 0x9E3779B1U ^ hash32(j + 0x632BE5ABU * seed) ^ seed) >> 8) * (1.0f / 16777216.0f);
}

class Rng {
public:
    explicit Rng(uint32_t seed) : state_(seed * 2654435761U + 1U) {}
    uint32_t next() {
        state_ += 0x9E3779B9U;
        return hash32(state_);
    }
    float unit() { return (next() >> 8) * (1.0f / 16777216.0f); }        // [0, 1)
    float range(float lo, float hi) { return lo + (hi - lo) * unit(); }  // [lo, hi)
    float signedUnit() { return unit() * 2.0f - 1.0f; }                  // [-1, 1)

private:
    uint32_t state_;
};
