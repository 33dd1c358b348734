#pragma once
// A clock the test sets by hand.
#include "platform/clock.h"

class FakeClock final : public Clock {
public:
    bool counterFrequency(int64_t* countsPerSecond) override {
        *countsPerSecond = frequency;
        return frequency != 0;
    }
    int64_t counter() override { return count; }
    uint32_t milliseconds() override { return ms; }

    int64_t frequency = 0;  // 0: no high-resolution counter
    int64_t count = 0;
    uint32_t ms = 0;
};
