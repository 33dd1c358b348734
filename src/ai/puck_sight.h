#pragma once
// What a player has seen of the puck: its recent positions and motion, so that the puck can
// be read as it was a reaction time ago.
#include "ai/puck_forecast.h"

class PuckSight {
public:
    void see(float now, PuckState puck) {
        head_ = (head_ + 1) % kSize;
        times_[head_] = now;
        seen_[head_] = puck;
        if (count_ < kSize) ++count_;
    }
    // The newest sighting at least `delay` old (the oldest kept when none is that old), and
    // how long ago it was.
    PuckState asOf(float now, float delay, float& age) const {
        int k = head_;
        for (int n = 1; n < count_; ++n) {
            if (now - times_[k] >= delay) break;
            k = (k + kSize - 1) % kSize;
        }
        age = now - times_[k];
        return seen_[k];
    }

private:
    static constexpr int kSize = 128;  // 0.3 s even at 400 frames a second
    float times_[kSize] = {};
    PuckState seen_[kSize] = {};
    int head_ = 0, count_ = 0;
};
