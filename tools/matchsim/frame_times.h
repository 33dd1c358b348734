#pragma once
// One machine's frame times: fixed, or jittered evenly between 1/200 s and 1/10 s as a
// busy machine's would be.
#include <string>

#include "rng.h"

struct FrameTimeSpec {
    bool jitter = false;
    double seconds = 1.0 / 60.0;
};

// "0.005", "1/200" or "jitter"; false for anything else or a time outside 1/1000 .. 1/10 s.
bool parseFrameTime(const std::string& text, FrameTimeSpec& out);
std::string describeFrameTime(const FrameTimeSpec& spec);

class FrameTimes {
public:
    FrameTimes(FrameTimeSpec spec, uint64_t seed) : spec_(spec), rng_(seed) {}
    double next() { return spec_.jitter ? rng_.uniform(1.0 / 200.0, 1.0 / 10.0) : spec_.seconds; }

private:
    FrameTimeSpec spec_;
    Rng rng_;
};
