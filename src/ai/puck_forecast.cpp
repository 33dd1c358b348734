#include "ai/puck_forecast.h"

#include <cmath>

namespace {

constexpr float kStep = 1.0f / 30.0f;
constexpr float kKeep = 0.54f;
// 0.8 to the power of one step, as the puck step computes it each frame.
const float kFrictionPerStep = static_cast<float>(std::pow(0.8, static_cast<double>(kStep)));

void glide(PuckState& p, float dt, float friction) {
    p.vel.x *= friction;
    p.vel.z *= friction;
    p.pos.x += p.vel.x * dt;
    p.pos.z += p.vel.z * dt;
    if (-90.0f < p.pos.z && p.pos.z < 90.0f) {
        if (std::fabs(p.pos.x) > 56.55f) {
            p.pos.x = std::copysign(56.549f, p.pos.x);
            p.vel.x = -kKeep * p.vel.x;
            p.vel.z = kKeep * p.vel.z;
        }
    } else if (-30.0f < p.pos.x && p.pos.x < 30.0f) {
        if (std::fabs(p.pos.z) > 116.55f) {
            p.pos.z = std::copysign(116.549f, p.pos.z);
            p.vel.x = kKeep * p.vel.x;
            p.vel.z = -kKeep * p.vel.z;
        }
    } else {
        const float cx = p.pos.x < 0.0f ? -30.0f : 30.0f, cz = p.pos.z > 0.0f ? 90.0f : -90.0f;
        const float dx = p.pos.x - cx, dz = p.pos.z - cz;
        const float d = std::sqrt(dx * dx + dz * dz);
        if (d > 26.55f) {
            // Mirror the velocity in the arc's normal and keep the board's share of it.
            const float nx = dx / d, nz = dz / d;
            const float along = p.vel.x * nx + p.vel.z * nz;
            p.vel.x = kKeep * (p.vel.x - 2.0f * along * nx);
            p.vel.z = kKeep * (p.vel.z - 2.0f * along * nz);
            p.pos.x = cx + 26.54f * nx;
            p.pos.z = cz + 26.54f * nz;
        }
    }
}

}  // namespace

PuckState forecastPuck(PuckState puck, float seconds) {
    const float speed2 = puck.vel.x * puck.vel.x + puck.vel.z * puck.vel.z;
    if (speed2 > 8100.0f) {
        const float k = 90.0f / std::sqrt(speed2);
        puck.vel.x *= k;
        puck.vel.z *= k;
    }
    while (seconds > kStep && !puckAtRest(puck)) {
        glide(puck, kStep, kFrictionPerStep);
        seconds -= kStep;
    }
    if (seconds > 0.0f && !puckAtRest(puck))
        glide(puck, seconds, static_cast<float>(std::pow(0.8, static_cast<double>(seconds))));
    return puck;
}
