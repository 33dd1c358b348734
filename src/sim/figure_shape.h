#pragma once
// The collision shape of a figure and its own frame; shared by the rod sweep and the puck step.
#include <cmath>
#include <cstdint>

#include "sim/game.h"

constexpr float kAngleStep = 0.049474016f;  // radians per angle step (6.2832 / 127)
constexpr float kPuckRadius = 3.45f;
constexpr float kBodyRadius = 2.6f;
constexpr float kBodyContact = 6.05f;
constexpr float kBladeContact = 3.45f;
constexpr float kBladeStep = 0.33333334f;  // the blade is tested at four points, a third apart

struct FigureShape {
    Point2 circle;             // off-centre circle in the figure's frame
    float circleRadius;
    float sweepCircleContact;  // while the figure moves
    float puckCircleContact;   // while the puck moves
    Point2 bladeA, bladeB;
};

inline const FigureShape& figureShape(int player) {
    static const FigureShape goalie{{0.0f, -3.78f}, 1.44f, 4.89f, 4.89f, {-2.97f, -2.34f}, {-2.97f, -9.81f}};
    static const FigureShape skater{{6.26f, 3.2f}, 0.1f, 3.5f, 3.55f, {-1.16f, -5.44f}, {-1.16f, -13.0f}};
    return rodOf(player) == 0 ? goalie : skater;
}

// A figure standing at a groove point, turned by its angle.
class FigureFrame {
public:
    FigureFrame(Point2 at, int64_t angleSteps)
        : at_(at), r_(static_cast<float>(angleSteps) * kAngleStep), c_(std::cos(r_)), s_(std::sin(r_)) {}

    Point2 toIce(Point2 local) const {
        return {at_.x + local.x * c_ + local.z * s_, at_.z - local.x * s_ + local.z * c_};
    }

private:
    Point2 at_;
    float r_, c_, s_;
};
