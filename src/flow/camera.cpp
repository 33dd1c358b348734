// The match camera: a view from each end that rises as the puck comes near, and the
// practice swing from one end to the other.
#include <cmath>

#include "graphics/scene.h"
#include "sim/game.h"

namespace {

constexpr float kC = 0.007854f;  // pi / 400

struct EyeHeightDepth {
    float y, z;
};

// Team 0's end of the rink.
EyeHeightDepth nearEnd(float pz) {
    if (pz > 0.0f) return {110.0f, pz - 160.0f};
    const float s = std::sin(-kC * pz);
    return {110.0f + 30.0f * s, -160.0f - 50.0f * s};
}

// Team 1's end.
EyeHeightDepth farEnd(float pz) {
    if (pz >= 0.0f) {
        const float s = std::sin(kC * pz);
        return {110.0f + 30.0f * s, 160.0f + 50.0f * s};
    }
    return {110.0f, pz + 160.0f};
}

}  // namespace

void Game::placeCamera() {
    const float px = puckPos[0], pz = puckPos[1];
    Camera& camera = scene->camera();

    if (flow.matchMode == Practice && flow.sideSwitchTimer >= 0.0f) {
        const float t = flow.sideSwitchTimer;
        const EyeHeightDepth n = nearEnd(pz), f = farEnd(pz);
        camera.setEye(0.5f * px * (1.0f - t) + 0.5f * px * t + 80.0f * std::sin(3.14159f * t),
                      n.y * (1.0f - t) + f.y * t, n.z * (1.0f - t) + f.z * t);
        mainLight->setPosition(-10.0f, 120.0f, 100.0f * t - 50.0f);
        return;  // the target stays where it was during the swing
    }

    const bool fromFarEnd = flow.matchMode == Join || (flow.matchMode == Practice && puckOwner == 2);
    const EyeHeightDepth v = fromFarEnd ? farEnd(pz) : nearEnd(pz);
    camera.setEye(0.5f * px, v.y, v.z);
    camera.setTarget(px, 0.0f, pz);
}
