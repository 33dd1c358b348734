#include "ai/shot_plan.h"

#include <cmath>

#include "sim/figure_shape.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kTwoPi = 6.2831853f;
constexpr float kGoalLineZ = 88.0f;
constexpr float kMouthReach = 11.0f;  // puck centre within the posts
constexpr float kShooterRoom = 16.0f;  // a figure this near the puck is the one to shoot it
constexpr float kBoardX = 56.55f;      // the side boards, for the puck's centre
constexpr float kBankCost = 1.5f;      // a straight shot is surer than one off the boards
constexpr float kRamLine = 5.0f;       // a puck this near a groove lies in the body's path

float wrapPi(float a) {
    while (a > kPi) a -= kTwoPi;
    while (a < -kPi) a += kTwoPi;
    return a;
}

// Reach of the blade, as distances of the puck's centre from the figure: close enough to be
// met by the outer half of the blade, not so close that the body takes it.
void bladeReach(int player, float& nearest, float& farthest) {
    if (rodOf(player) == 0) {
        nearest = 6.5f;
        farthest = 10.0f;
    } else {
        nearest = 7.5f;
        farthest = 13.0f;
    }
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

Point2 openGoalPoint(const Game& game, int team, Point2 from) {
    const float goalZ = team == 0 ? kGoalLineZ : -kGoalLineZ;
    // What stands in the way: bodies and blade ends, with the room each needs.
    struct Obstacle {
        Point2 at;
        float room;
    };
    Obstacle obstacles[60];
    int n = 0;
    for (int i = 0; i < 12; ++i) {
        const Point2 f = game.groovePoint(i, game.slide[i]);
        if (Game::distance2d(f.x, f.z, from.x, from.z) < kShooterRoom) continue;
        // Only what lies between the puck and the goal line.
        if ((f.z - from.z) * (goalZ - from.z) < -100.0f) continue;
        const FigureShape& shape = figureShape(i);
        const FigureFrame frame(f, game.angle[i]);
        obstacles[n++] = {f, kBodyContact};
        const Point2 a = frame.toIce(shape.bladeA), b = frame.toIce(shape.bladeB);
        for (int k = 0; k < 4; ++k) {
            const float t = static_cast<float>(k) * kBladeStep;
            obstacles[n++] = {{a.x + (b.x - a.x) * t, a.z + (b.z - a.z) * t}, kBladeContact};
        }
    }
    const auto roomAlong = [&](Point2 a, Point2 b) {
        float room = 1.0e9f;
        for (int k = 0; k < n; ++k) {
            const float r = segmentDistance(a, b, obstacles[k].at) - obstacles[k].room;
            if (r < room) room = r;
        }
        return room;
    };
    // Straight at the mouth, or off either side board (aimed at the goal's mirror image).
    Point2 best{0.0f, goalZ};
    float bestRoom = -1.0e9f;
    for (int way = 0; way < 3; ++way) {
        for (float x = -kMouthReach; x <= kMouthReach; x += 2.75f) {
            const Point2 target{x, goalZ};
            Point2 aim = target;
            float room = 0.0f;
            if (way == 0) {
                room = roomAlong(from, target) - 0.02f * std::fabs(x);  // among equals, the middle
            } else {
                const float board = way == 1 ? -kBoardX : kBoardX;
                aim = {2.0f * board - x, goalZ};
                const float t = (board - from.x) / (aim.x - from.x);
                if (!(t > 0.0f && t < 1.0f)) continue;
                const Point2 bounce{board, from.z + (aim.z - from.z) * t};
                if (std::fabs(bounce.z) > 88.0f) continue;  // the corner arcs throw it elsewhere
                room = std::fmin(roomAlong(from, bounce), roomAlong(bounce, target)) - kBankCost;
            }
            if (room > bestRoom) {
                bestRoom = room;
                best = aim;
            }
        }
    }
    return best;
}

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

float bladeGap(int player, int angle, int dir, Point2 rel) {
    float contact = 0.0f;
    if (!bladeAngleFor(player, rel, contact)) return 1.0e9f;
    const float now = static_cast<float>(angle) * kAngleStep;
    // Raising the angle turns the blade toward lower ice angles; measure along the swing.
    return wrapPi(contact * kAngleStep - now) * static_cast<float>(dir) / kAngleStep;
}

ShotPlan planShot(const Game& game, int player, Point2 puck, float aimAngle) {
    ShotPlan best;
    best.player = player;
    float nearest = 0.0f, farthest = 0.0f;
    bladeReach(player, nearest, farthest);
    const float aimX = std::cos(aimAngle), aimZ = std::sin(aimAngle);
    const int limit = slideLimit(rodOf(player));
    const int current = game.slide[player];
    float bestScore = -1.0e9f;
    for (int s = 0; s <= limit; ++s) {
        const Point2 f = game.groovePoint(player, s);
        const Point2 rel{puck.x - f.x, puck.z - f.z};
        const float d = std::sqrt(rel.x * rel.x + rel.z * rel.z);
        if (d < nearest || d > farthest) continue;
        // A raised angle pushes a point at rel toward (rel.z, -rel.x).
        const float push = (rel.z * aimX - rel.x * aimZ) / d;
        const int dir = push >= 0.0f ? 1 : -1;
        const float quality = std::fabs(push);
        // Aligned first, then a long lever, then close at hand.
        const float score = quality + 0.01f * d - 0.0015f * static_cast<float>(std::abs(s - current));
        if (score > bestScore) {
            bestScore = score;
            best.slide = s;
            best.dir = dir;
            best.quality = quality;
            bladeAngleFor(player, rel, best.contactAngle);
        }
    }
    // A puck on the figure's own groove is better driven along it by the body.
    int closest = 0;
    float closestD = 1.0e9f;
    for (int s = 0; s <= limit; ++s) {
        const Point2 f = game.groovePoint(player, s);
        const float d = Game::distance2d(f.x, f.z, puck.x, puck.z);
        if (d < closestD) {
            closestD = d;
            closest = s;
        }
    }
    if (rodOf(player) != 0 && closestD < kRamLine && closest > 0) {
        const Point2 a = game.groovePoint(player, closest - 1), b = game.groovePoint(player, closest);
        const float len = Game::distance2d(a.x, a.z, b.x, b.z);
        const float quality = len > 0.0f ? ((b.x - a.x) * aimX + (b.z - a.z) * aimZ) / len : -1.0f;
        if (quality > best.quality && quality > 0.3f) {
            best.slide = closest;
            best.quality = quality;
            best.ram = true;
        }
    }
    return best;
}

bool poseTouchesPuck(const Game& game, int player, int slide, int angle, Point2 puck, float margin) {
    const Point2 f = game.groovePoint(player, slide);
    if (Game::distance2d(f.x, f.z, puck.x, puck.z) < kBodyContact + margin) return true;
    if (Game::distance2d(f.x, f.z, puck.x, puck.z) > 20.0f) return false;
    const FigureShape& shape = figureShape(player);
    const FigureFrame frame(f, angle);
    const Point2 c = frame.toIce(shape.circle);
    if (Game::distance2d(c.x, c.z, puck.x, puck.z) < shape.puckCircleContact + margin) return true;
    const Point2 a = frame.toIce(shape.bladeA), b = frame.toIce(shape.bladeB);
    return segmentDistance(a, b, puck) < kBladeContact + margin;
}
