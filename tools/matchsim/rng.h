#pragma once
// splitmix64: the same numbers on every platform and standard library.
#include <cstdint>

class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform(double lo, double hi) {
        return lo + (hi - lo) * static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0);
    }

private:
    uint64_t state_;
};

// A seed of its own for each thing a match needs, all from the match's seed.
inline uint64_t deriveSeed(uint64_t matchSeed, uint64_t purpose) {
    return Rng(matchSeed * 0x100000001B3ull + purpose).next();
}
