#pragma once
// Wall-clock time between frames, cut to a limit.
#include <cstdint>

class Clock;

class FrameTimer {
public:
    FrameTimer() = default;                           // reads the process-wide clock
    explicit FrameTimer(Clock& clock) : clock_(&clock) {}

    // Chooses the time source (the counter, else milliseconds) and takes the first reading.
    void init();
    // Seconds since the previous reading, at most maxStep. Zero and negative steps pass.
    float tick(float maxStep);

    int64_t lastCount = 0;
    float secondsPerCount = 0;
    bool usesPerformanceCounter = false;

private:
    int64_t read();

    Clock* clock_ = nullptr;
};
