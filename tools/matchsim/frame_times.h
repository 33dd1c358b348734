#pragma once
// One machine's frame times: fixed, or jittered evenly between 1/200 s and 1/10 s as a
// busy machine's would be.
#include <string>

#include "rng.h"

struct FrameTimeSetting {
    bool jitter = false;
    double seconds = 1.0 / 60.0;
};

// "0.005", "1/200" or "jitter"; false for anything else or a time outside 1/1000 .. 1/10 s.
bool parseFrameTime(const std::string& text, FrameTimeSetting& out);
std::string describeFrameTime(const FrameTimeSetting& setting);

class FrameTimes {
public:
    FrameTimes(FrameTimeSetting setting, uint64_t seed) : setting_(setting), rng_(seed) {}
    double next() { return setting_.jitter ? rng_.uniform(1.0 / 200.0, 1.0 / 10.0) : setting_.seconds; }

private:
    FrameTimeSetting setting_;
    Rng rng_;
};
