#include "app/frame_timer.h"

#include "platform/clock.h"

void FrameTimer::init() {
    if (!clock_) clock_ = &platformClock();
    int64_t frequency = 0;
    if (clock_->counterFrequency(&frequency) && frequency > 0) {
        usesPerformanceCounter = true;
        secondsPerCount = static_cast<float>(1.0L / static_cast<long double>(frequency));
    } else {
        usesPerformanceCounter = false;
        secondsPerCount = 0.001f;
    }
    lastCount = read();
}

int64_t FrameTimer::read() {
    if (usesPerformanceCounter) return clock_->counter();
    return static_cast<int64_t>(clock_->milliseconds());  // upper half 0
}

float FrameTimer::tick(float maxStep) {
    int64_t now = read();
    int64_t difference;
    if (usesPerformanceCounter) {
        // Unsigned arithmetic: the same result without overflow on extreme readings.
        difference = static_cast<int64_t>(static_cast<uint64_t>(now) - static_cast<uint64_t>(lastCount));
    } else {
        // The millisecond counter wraps at 2^32 (about 49.7 days of uptime); the step
        // across the wrap is the time that really passed, not a huge negative one.
        difference = static_cast<uint32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(lastCount));
    }
    lastCount = now;
    // Compared in double precision: a step only a hair above the limit is still cut.
    double step = static_cast<double>(difference) * static_cast<double>(secondsPerCount);
    return step <= maxStep ? static_cast<float>(step) : maxStep;
}
