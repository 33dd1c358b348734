#pragma once
// A stall: the puck at rest for 30 s of game time. A puck nudged to and fro on one spot
// is as stuck as one at rest, so it must leave a small circle around where it stopped.
#include <cmath>

class StallWatch {
public:
    // True once the puck at (x, z) has stayed near one place for the whole stall time.
    bool observe(float x, float z, double now) {
        if (!anchored_ || std::hypot(x - x_, z - z_) > kRadius) {
            anchored_ = true;
            x_ = x;
            z_ = z;
            since_ = now;
        }
        return now - since_ >= kStallSeconds;
    }

    static constexpr double kStallSeconds = 30.0;

private:
    static constexpr float kRadius = 1.0f;
    bool anchored_ = false;
    float x_ = 0.0f, z_ = 0.0f;
    double since_ = 0.0;
};
