#pragma once
// A puck that the other machine runs is seen only when its datagrams arrive: on a lossy link
// a couple of times a second, since a lost one is sent again only half a second later. Read
// over a tenth of a second, such a puck mostly looks at rest, and a strike is aimed where it
// lay half a second ago. It is read as a person reads a jerky picture instead: its motion from
// the last two places that arrived, and taken on from the newer one by the game's glide.
#include "ai/puck_forecast.h"

class RemotePuck {
public:
    // `pos` as this machine shows it now.
    PuckState read(float now, Point2 pos) {
        if (count_ == 0 || pos.x != at_[1].x || pos.z != at_[1].z) {
            at_[0] = at_[1];
            since_[0] = since_[1];
            at_[1] = pos;
            since_[1] = now;
            if (count_ < 2) ++count_;
        }
        const PuckState still{pos, {0.0f, 0.0f}};
        if (count_ < 2) return still;
        const float gap = since_[1] - since_[0], quiet = now - since_[1];
        // Two datagrams lost in a row still fit; longer, the puck has most likely stopped.
        if (!(gap > 0.0f) || gap > kLongestGap || quiet > kLongestGap) return still;
        const Point2 vel{(at_[1].x - at_[0].x) / gap, (at_[1].z - at_[0].z) / gap};
        // Faster than the puck's cap: a goal, the centre spot, or a datagram arriving late.
        if (vel.x * vel.x + vel.z * vel.z > kFastest * kFastest) return still;
        return forecastPuck(PuckState{at_[1], vel}, quiet);
    }
    // The own machine runs the puck: what was read of the other's no longer holds.
    void reset() { count_ = 0; }

private:
    static constexpr float kLongestGap = 1.1f;  // seconds
    static constexpr float kFastest = 90.0f;
    Point2 at_[2] = {};
    float since_[2] = {};
    int count_ = 0;
};
