// Figures on their rods: groove paths, the figure's collision shape, moving a
// figure to its target while it pushes the puck, and the face-off set-up.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "sim/figure_shape.h"
#include "sim/game.h"

namespace {

float lerp(float a, float b, float t) { return (b - a) * t + a; }

// Rod 1 runs by s = slide * 100/127 along four joined segments.
Point2 rodOnePoint(float s) {
    if (s < 10.0f) return {lerp(-40.0f, -46.0f, s * 0.1f), lerp(17.0f, 30.0f, s * 0.1f)};
    if (s < 50.0f) return {-46.0f, lerp(30.0f, 90.0f, (s - 10.0f) * 0.025f)};
    if (s < 70.0f) {
        float q = (s - 50.0f) * 0.05f * 1.5708f;
        return {-30.0f - 16.0f * std::cos(q), 90.0f + 16.0f * std::sin(q)};
    }
    return {lerp(-30.0f, 15.0f, (s - 70.0f) * 0.033333335f), 106.0f};
}

// Integer step of a sub-step: trunc(difference * t), computed wide so that
// any pose, however damaged, stays defined.
int stepToward(int from, int to, float t) {
    float moved = static_cast<float>(static_cast<int64_t>(to) - from) * t;
    int64_t result = static_cast<int64_t>(from) + static_cast<int64_t>(moved);
    if (result > INT32_MAX) return INT32_MAX;
    if (result < INT32_MIN) return INT32_MIN;
    return static_cast<int>(result);
}

}  // namespace

Point2 Game::groovePoint(int player, int slide) const {
    const float s = static_cast<float>(slide);
    Point2 p{};
    switch (rodOf(player)) {
    case 0: p = {lerp(-15.0f, 15.0f, s * 0.02f), -71.0f}; break;
    case 1: p = rodOnePoint(s * 0.78740156f); break;
    case 2: p = {-28.0f, lerp(-106.0f, -12.0f, s * 0.011111111f)}; break;
    case 3: {
        float t = s * 0.011111111f;
        p = {lerp(12.0f, 0.0f, t), lerp(-13.0f, 60.0f, t)};
        break;
    }
    case 4: p = {28.0f, lerp(-90.0f, -22.0f, s * 0.011111111f)}; break;
    default: p = {46.0f, lerp(-4.0f, 95.0f, s * 0.007874016f)}; break;
    }
    if (teamOf(player) == 1) {
        p.x = -p.x;
        p.z = -p.z;
    }
    return p;
}

float Game::distance2d(float x1, float z1, float x2, float z2) {
    float dx = x1 - x2, dz = z1 - z2;
    return std::sqrt(dx * dx + dz * dz);
}

void Game::placePlayerModel(int player) {
    Point2 p = groovePoint(player, slide[player]);
    ModelInstance& model = liveModels()[player];
    model.position = {p.x, 0.0f, p.z};
    model.rotation = {0.0f, static_cast<float>(angle[player]) * kAngleStep, 0.0f};
}

void Game::addPuckImpulse(float, float, float dx, float dz) {
    puckImpulse[0] += dx;
    puckImpulse[1] += dz;
}

namespace {

// Where a figure at this pose meets the puck, each point with its contact distance: the body,
// the off-centre circle, then the four blade points (blade 0..3; -1 for the other two). The
// push and the depth of an overlap are measured at the same points.
template <class Visit>
void visitContactPoints(const Game& game, int player, int slidePos, int anglePos, Visit&& visit) {
    const Point2 f = game.groovePoint(player, slidePos);
    const FigureShape& shape = figureShape(player);
    const FigureFrame frame(f, anglePos);
    visit(f, kBodyContact, -1);
    visit(frame.toIce(shape.circle), shape.sweepCircleContact, -1);
    const Point2 a = frame.toIce(shape.bladeA), b = frame.toIce(shape.bladeB);
    for (int k = 0; k < 4; ++k) {
        const float t = static_cast<float>(k) * kBladeStep;
        visit(Point2{a.x + (b.x - a.x) * t, a.z + (b.z - a.z) * t}, kBladeContact, k);
    }
}

}  // namespace

bool Game::sweepPlayer(int player, int slidePos, int anglePos) {
    const Point2 f = groovePoint(player, slidePos);
    Point2 from{}, to{};
    if (slidePos >= 1) {
        from = groovePoint(player, slidePos - 1);
        to = f;
    } else {
        from = f;
        to = groovePoint(player, slidePos + 1);
    }
    const float push = 1.5f * static_cast<float>(slideDelta[player]);
    const float ix = push * (to.x - from.x);
    const float iz = push * (to.z - from.z);
    const FigureShape& shape = figureShape(player);
    // The turn of this frame: how far each blade point travels decides the flick.
    const FigureFrame turned(f, static_cast<int64_t>(anglePos) + angleDelta[player]);
    const Point2 a2 = turned.toIce(shape.bladeA), b2 = turned.toIce(shape.bladeB);
    bool hit = false;
    visitContactPoints(*this, player, slidePos, anglePos, [&](Point2 p, float contact, int blade) {
        if (distance2d(p.x, p.z, puckPos[0], puckPos[1]) >= contact) return;
        hit = true;
        if (blade < 0) return addPuckImpulse(p.x, p.z, ix, iz);
        const float t = static_cast<float>(blade) * kBladeStep;
        const Point2 p2{a2.x + (b2.x - a2.x) * t, a2.z + (b2.z - a2.z) * t};
        addPuckImpulse(p.x, p.z, ix + 8.0f * (p2.x - p.x), iz + 8.0f * (p2.z - p.z));
    });
    return hit;
}

float Game::puckOverlap(int player, int slidePos, int anglePos) const {
    float deepest = -INFINITY;
    visitContactPoints(*this, player, slidePos, anglePos, [&](Point2 p, float contact, int) {
        deepest = std::max(deepest, contact - distance2d(p.x, p.z, puckPos[0], puckPos[1]));
    });
    return deepest;
}

bool Game::movePlayer(int player) {
    const int s0 = slide[player], a0 = angle[player];
    int prevSlide = s0, prevAngle = a0;
    bool hit = false;
    // A figure that touches the puck where it stands pushes it and stays, unless its target
    // lies less deep in the puck: then it gets away. Else a puck wedged between the figure
    // and a wall, or caught over its blade, would hold the figure for good.
    if (goalPause <= 0.0f && sweepPlayer(player, s0, a0)) {
        if (puckOverlap(player, targetSlide[player], targetAngle[player]) < puckOverlap(player, s0, a0)) {
            slide[player] = targetSlide[player];
            angle[player] = targetAngle[player];
        }
        placePlayerModel(player);
        targetSlide[player] = slide[player];
        targetAngle[player] = angle[player];
        return true;
    }
    for (int k = 1; k < 6; ++k) {  // the starting pose is clear of the puck
        const float t = static_cast<float>(k) * 0.2f;
        slide[player] = stepToward(s0, targetSlide[player], t);
        angle[player] = stepToward(a0, targetAngle[player], t);
        if (goalPause <= 0.0f && sweepPlayer(player, slide[player], angle[player])) {
            slide[player] = prevSlide;
            angle[player] = prevAngle;
            hit = true;
            break;
        }
        prevSlide = slide[player];
        prevAngle = angle[player];
    }
    // A target the figure did not reach is dropped.
    targetSlide[player] = slide[player];
    targetAngle[player] = angle[player];
    placePlayerModel(player);
    return hit;
}

void Game::setFaceOffPoses() {
    for (int i = 0; i < 12; ++i) {
        const int rod = rodOf(i);
        slideDelta[i] = 0;
        angleDelta[i] = 0;
        slide[i] = (rod == 1 || rod == 5) ? 10 : rod == 3 ? 1 : 25;
        angle[i] = teamOf(i) * 64 + 32;
        targetSlide[i] = slide[i];
        targetAngle[i] = angle[i];
    }
    for (int i = 0; i < 12; ++i) placePlayerModel(i);
}

void Game::resetFaceOff() {
    puckPos[0] = puckPos[1] = 0.0f;
    puckModel->position = {0.0f, 0.0f, 0.0f};
    puckVel[0] = puckVel[1] = 0.0f;
    puckImpulse[0] = puckImpulse[1] = 0.0f;
    goalPause = -1.0f;
    score[0] = score[1] = 0;
    setFaceOffPoses();
    selectedRod[0] = 0;
    selectedRod[1] = 6;
    scoreSprites[1].setPosition(39.0f, 0.0f, 0.0f);
    scoreSprites[2].setPosition(39.0f, 24.0f, 0.0f);
}
