#pragma once
// Time sources of the frame timer: a monotonic high-resolution counter and a
// millisecond counter for systems without one.
#include <cstdint>

class Clock {
public:
    virtual ~Clock() = default;
    // Counts per second of counter(); false when there is no high-resolution counter.
    virtual bool counterFrequency(int64_t* countsPerSecond) = 0;
    virtual int64_t counter() = 0;
    // Milliseconds since some fixed point; wraps at 2^32.
    virtual uint32_t milliseconds() = 0;
};

// Process-wide clock. Until one is installed it is the standard library's steady clock.
Clock& platformClock();
void installClock(Clock* clock);
