#pragma once
// How far one axis of a figure may go this frame: a rate in steps a second, paid out in
// whole steps, the fraction carried to the next frame so that the pace is the same at any
// frame rate. A resting axis banks nothing.
#include <cstdlib>

class AxisLimiter {
public:
    // One frame: the new target, at most the allowance away from `from`.
    int step(int from, int want, float rate, float dt) {
        if (want == from) {
            carry_ = 0.0f;
            return from;
        }
        const float budget = rate * dt + carry_;
        int steps = static_cast<int>(budget);
        carry_ = budget - static_cast<float>(steps);
        const int gap = std::abs(want - from);
        if (steps >= gap) {
            steps = gap;
            carry_ = 0.0f;  // arrived: what is left is not saved up for a later dash
        }
        return want > from ? from + steps : from - steps;
    }
    void reset() { carry_ = 0.0f; }

private:
    float carry_ = 0.0f;
};
