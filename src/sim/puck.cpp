// The puck: friction, speed cap, boards, goal frames, figures and goals. One step
// per frame with no sub-stepping; walls use clamps and crossing tests so that
// they cannot be passed, round things are tested at the end position only.
#include <cmath>

#include "sim/figure_shape.h"
#include "sim/game.h"

namespace {

constexpr float kKeep = 0.54f;  // share of the speed a bounce keeps

struct Post {
    float x, z;
};
constexpr Post kPosts[8] = {{-15.0f, 93.0f},  {15.0f, 93.0f},  {15.0f, 83.0f},  {-15.0f, 83.0f},
                            {-15.0f, -93.0f}, {15.0f, -93.0f}, {15.0f, -83.0f}, {-15.0f, -83.0f}};

// Where a puck's centre has no business but through a goal: in a side wall of a goal frame,
// in its back wall, or in the net behind the goal line.
bool inGoalFrame(float x, float z) {
    const float ax = std::fabs(x), az = std::fabs(z);
    const bool sideWall = 11.55f < ax && ax < 18.45f && 83.0f < az && az < 93.0f;
    const bool backOrNet = ax < 15.0f && 86.45f < az && az < 96.45f;
    return sideWall || backOrNet;
}

// The side whose goal line a step from z = oz to (x, z) crossed inside the mouth, 0 if none.
int goalLineCrossed(float x, float z, float oz) {
    if (!(-15.0f < x && x < 15.0f)) return 0;
    if (z > 86.45f && 86.45f >= oz) return 1;
    if (z < -86.45f && -86.45f <= oz) return 2;
    return 0;
}

}  // namespace

float Game::wrapAngle(float a) {
    // Far outside one turn the float steps below would not move the value; bring it near first.
    if (!(std::fabs(a) < 1.0e6f)) {
        if (!std::isfinite(a)) return a;
        a = static_cast<float>(std::fmod(static_cast<double>(a), 6.2831855));
    }
    while (a < 0.0f) a += 6.2831855f;
    while (a > 6.28319f) a -= 6.2831855f;
    return a;
}

float Game::angleTo(float x1, float z1, float x2, float z2) {
    const float dx = x2 - x1, dz = z2 - z1;
    if (dx > 0.0f) return wrapAngle(std::atan(dz / dx));
    if (dx < 0.0f) return wrapAngle(std::atan(dz / dx) + 3.1415927f);
    if (dz > 0.0f) return 1.5707963f;
    if (dz < 0.0f) return 4.712389f;
    return 0.0f;
}

void Game::bouncePuckOffCircle(float cx, float cz, float radius) {
    const float a = angleTo(puckPos[0], puckPos[1], cx, cz);
    const float b = angleTo(0.0f, 0.0f, puckVel[0], puckVel[1]);
    const float s = std::sqrt(puckVel[0] * puckVel[0] + puckVel[1] * puckVel[1]);
    const float theta = wrapAngle(a + 3.1415927f) - (b - a);
    puckVel[0] = kKeep * s * std::cos(theta);
    puckVel[1] = kKeep * s * std::sin(theta);
    const float d = radius + 3.451f;
    puckPos[0] = cx - d * std::cos(a);
    puckPos[1] = cz - d * std::sin(a);
}

int Game::stepPuck(float dt) {
    float* v = puckVel;
    float* p = puckPos;

    v[0] += puckImpulse[0];
    v[1] += puckImpulse[1];

    if (std::sqrt(v[0] * v[0] + v[1] * v[1]) > 90.0f) {
        const float b = angleTo(0.0f, 0.0f, v[0], v[1]);
        v[0] = 90.0f * std::cos(b);
        v[1] = 90.0f * std::sin(b);
    }

    const double friction = std::pow(0.8, static_cast<double>(dt));
    v[0] = static_cast<float>(v[0] * friction);
    v[1] = static_cast<float>(v[1] * friction);

    const float ox = p[0], oz = p[1], ovx = v[0], ovz = v[1];
    p[0] += v[0] * dt;
    p[1] += v[1] * dt;

    // Boards: the side zone, else the end zone, else a corner arc.
    if (-90.0f < p[1] && p[1] < 90.0f) {
        bool hit = true;
        if (p[0] < -56.55f) p[0] = -56.549f;
        else if (p[0] > 56.55f) p[0] = 56.549f;
        else hit = false;
        if (hit) {
            v[0] = -kKeep * v[0];
            v[1] = kKeep * v[1];
            playSample(sample::Board, true);
        }
    } else if (-30.0f < p[0] && p[0] < 30.0f) {
        bool hit = true;
        if (p[1] < -116.55f) p[1] = -116.549f;
        else if (p[1] > 116.55f) p[1] = 116.549f;
        else hit = false;
        if (hit) {
            v[0] = kKeep * v[0];
            v[1] = -kKeep * v[1];
            playSample(sample::Board, true);
        }
    } else {
        const float cx = p[0] < 0.0f ? -30.0f : 30.0f;
        const float cz = p[1] > 0.0f ? 90.0f : -90.0f;
        if (distance2d(p[0], p[1], cx, cz) > 26.55f) {
            const float a = angleTo(cx, cz, p[0], p[1]);
            const float b = angleTo(0.0f, 0.0f, v[0], v[1]);
            const float s = std::sqrt(v[0] * v[0] + v[1] * v[1]);
            v[0] = -kKeep * s * std::cos(2.0f * a - b);
            v[1] = -kKeep * s * std::sin(2.0f * a - b);
            p[0] = cx + 26.54f * std::cos(a);
            p[1] = cz + 26.54f * std::sin(a);
            playSample(sample::Board, true);
        }
    }

    // Goal frames: the first test that holds acts.
    {
        const bool inMouth = -15.0f < p[0] && p[0] < 15.0f;
        const bool besideGoal = (83.0f < p[1] && p[1] < 93.0f) || (-93.0f < p[1] && p[1] < -83.0f);
        bool hit = true;
        if (inMouth && p[1] < 96.45f && 96.45f <= oz) {
            v[1] = -kKeep * v[1];
            p[1] = 96.451f;
        } else if (inMouth && p[1] > -96.45f && -96.45f >= oz) {
            v[1] = -kKeep * v[1];
            p[1] = -96.451f;
        } else if (besideGoal && p[0] > -18.45f && -18.45f >= ox) {
            v[0] = -kKeep * v[0];
            p[0] = -18.45f;
        } else if (besideGoal && p[0] < 18.45f && 18.45f <= ox) {
            v[0] = -kKeep * v[0];
            p[0] = 18.45f;
        } else if (besideGoal && p[0] < -11.55f && -11.55f <= ox) {
            v[0] = -kKeep * v[0];
            p[0] = -11.55f;
        } else if (besideGoal && p[0] > 11.55f && 11.55f >= ox) {
            v[0] = -kKeep * v[0];
            p[0] = 11.55f;
        } else {
            hit = false;
            for (const Post& post : kPosts) {
                if (distance2d(p[0], p[1], post.x, post.z) < kPuckRadius) {
                    bouncePuckOffCircle(post.x, post.z, 0.0f);
                    hit = true;
                    break;
                }
            }
        }
        if (hit) playSample(sample::Board, true);
    }

    // Figures, at the poses after this frame's moves.
    auto approachTest = [&](Point2 centre) {
        // A reflection that would still bring the puck closer is undone.
        if (distance2d(p[0], p[1], centre.x, centre.z) >
            distance2d(p[0] + v[0] * dt, p[1] + v[1] * dt, centre.x, centre.z)) {
            v[0] = -v[0];
            v[1] = -v[1];
        }
    };
    for (int player = 0; player < 12; ++player) {
        const Point2 f = groovePoint(player, slide[player]);
        const FigureShape& shape = figureShape(player);
        const FigureFrame frame(f, angle[player]);

        if (distance2d(p[0], p[1], f.x, f.z) < kBodyContact) {
            bouncePuckOffCircle(f.x, f.z, kBodyRadius);
            playSample(sample::Figure, true);
            approachTest(f);
        }

        const Point2 c = frame.toIce(shape.circle);
        if (distance2d(p[0], p[1], c.x, c.z) < shape.puckCircleContact) {
            bouncePuckOffCircle(c.x, c.z, shape.circleRadius);
            playSample(sample::Figure, true);
            approachTest(c);
        }

        const Point2 a = frame.toIce(shape.bladeA), b = frame.toIce(shape.bladeB);
        for (int k = 0; k < 4; ++k) {
            const float t = static_cast<float>(k) * kBladeStep;
            const Point2 q{a.x + (b.x - a.x) * t, a.z + (b.z - a.z) * t};
            if (distance2d(p[0], p[1], q.x, q.z) < kBladeContact) {
                bouncePuckOffCircle(q.x, q.z, 0.0f);
                playSample(sample::StickClick, true);
            }
        }
    }

    // The round posts and figures push a puck out to wherever it ends, which may be inside a
    // goal frame, and one grazing the back of a goal can slip in past a post: it would lie
    // in the frame or the net, scored for no one and out of every blade's reach. Such a
    // step is undone and the puck sent back. Only a goal takes it into the net.
    const int goal = goalLineCrossed(p[0], p[1], oz);
    if (goal == 0 && inGoalFrame(p[0], p[1]) && !inGoalFrame(ox, oz)) {
        p[0] = ox;
        p[1] = oz;
        v[0] = -kKeep * ovx;
        v[1] = -kKeep * ovz;
        playSample(sample::Board, true);
    }

    puckModel->position = {p[0], 0.0f, p[1]};

    if (goal == 1 && p[1] > 89.55f) p[1] = 89.55f;
    if (goal == 2 && p[1] < -89.55f) p[1] = -89.55f;
    if (goal != 0) puckModel->position = {p[0], -1.5f, p[1]};
    return goal;
}
