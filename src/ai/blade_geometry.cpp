#include "ai/blade_geometry.h"

#include <cmath>

#include "sim/figure_shape.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kTwoPi = 6.2831853f;

float wrapPi(float a) {
    while (a > kPi) a -= kTwoPi;
    while (a < -kPi) a += kTwoPi;
    return a;
}

float segmentDistance(Point2 a, Point2 b, Point2 p) {
    const float dx = b.x - a.x, dz = b.z - a.z;
    const float len2 = dx * dx + dz * dz;
    float t = len2 > 0.0f ? ((p.x - a.x) * dx + (p.z - a.z) * dz) / len2 : 0.0f;
    t = t < 0.0f ? 0.0f : t > 1.0f ? 1.0f : t;
    const float ex = a.x + dx * t - p.x, ez = a.z + dz * t - p.z;
    return std::sqrt(ex * ex + ez * ez);
}

}  // namespace

bool bladeAngleFor(int player, Point2 rel, float& angleSteps) {
    const FigureShape& shape = figureShape(player);
    const float u = shape.bladeA.x;
    const float d2 = rel.x * rel.x + rel.z * rel.z;
    if (d2 <= u * u + 1.0f) return false;
    const float v = -std::sqrt(d2 - u * u);
    // A point at local angle alpha lies on the ice at alpha - r.
    const float r = std::atan2(v, u) - std::atan2(rel.z, rel.x);
    angleSteps = wrapPi(r) / kAngleStep;
    return true;
}

float bladeTouchReach(int player) {
    const Point2 tip = figureShape(player).bladeB;
    return std::sqrt(tip.x * tip.x + tip.z * tip.z) + kBladeContact;
}

int bladeTouchStep(const Game& game, int player, int slide, Point2 puck, float estimate) {
    const FigureShape& shape = figureShape(player);
    const Point2 f = game.groovePoint(player, slide);
    const int first = static_cast<int>(std::floor(estimate));
    int best = first;
    float nearest = INFINITY;
    for (int step = first; step <= first + 1; ++step) {
        const FigureFrame frame(f, step);
        const float d = segmentDistance(frame.toIce(shape.bladeA), frame.toIce(shape.bladeB), puck);
        if (d < nearest) {
            nearest = d;
            best = step;
        }
    }
    return best;
}

bool poseTouchesPuck(const Game& game, int player, int slide, int angle, Point2 puck, float margin) {
    const Point2 f = game.groovePoint(player, slide);
    const float d = Game::distance2d(f.x, f.z, puck.x, puck.z);
    if (d < kBodyContact + margin) return true;
    if (d > 20.0f) return false;
    const FigureShape& shape = figureShape(player);
    const FigureFrame frame(f, angle);
    const Point2 c = frame.toIce(shape.circle);
    if (Game::distance2d(c.x, c.z, puck.x, puck.z) < shape.puckCircleContact + margin) return true;
    const Point2 a = frame.toIce(shape.bladeA), b = frame.toIce(shape.bladeB);
    return segmentDistance(a, b, puck) < kBladeContact + margin;
}
