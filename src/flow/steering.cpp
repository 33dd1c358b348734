// Steering the own team, driving it, the puck owner's play and goals, and the practice frame.
#include "ai/computer_player.h"
#include "flow/screen_parts.h"
#include "input/key_buffer.h"
#include "input/mouse_state.h"
#include "sim/game.h"

namespace {
constexpr int kMaxStep = 10;           // slide or angle steps per frame from the mouse
constexpr float kGoalieWalkRate = 50;  // goalie slide steps per second from Q and W
constexpr float kGoalPause = 1.5f, kWinningPause = 8.5f, kMatchEndDelay = 3.5f;

using flow::clampInt;
}  // namespace

void Game::steerSelectedPlayer(int team, float dt) {
    for (int i = 0; i < 12; ++i) {
        slideDelta[i] = 0;
        angleDelta[i] = 0;
    }
    for (int k = 0; k < 6; ++k)
        if (keyboard->isKeyDown(key::Digit1 + k)) selectedRod[team] = k + 6 * team;

    const int mx = flow::truncateClamped(static_cast<float>(mouse->deltaX) * mouseSensitivity, kMaxStep);
    const int my = flow::truncateClamped(static_cast<float>(mouse->deltaY) * mouseSensitivity, kMaxStep);

    const int p = selectedRod[team];
    const int rod = rodOf(p);
    // The joining machine's W walks the goalie; its skaters hold still meanwhile.
    const bool holdSkater = flow.matchMode == Join && team == 1 && keyboard->isKeyDown(key::W);
    if (rod == 0) {
        targetSlide[p] = clampInt(slide[p] + mx, 0, slideLimit(0));
        targetAngle[p] = (angle[p] - my) % 128;
        slideDelta[p] = mx;
        angleDelta[p] = -my;
    } else if (!holdSkater) {
        targetSlide[p] = clampInt(slide[p] - my, 0, slideLimit(rod));
        targetAngle[p] = (angle[p] - mx) % 128;
        slideDelta[p] = -my;
        angleDelta[p] = -mx;
    }

    // Goalie keys: whole steps only; the fraction carries over to later frames.
    const int g = 6 * team;
    float& step = flow.goalieStep[team];
    if (keyboard->isKeyDown(key::Q)) {
        step -= dt * kGoalieWalkRate;
        while (step < -1.0f) {
            step += 1.0f;
            targetSlide[g] = targetSlide[g] - 1 < 0 ? 0 : targetSlide[g] - 1;
        }
    }
    if (keyboard->isKeyDown(key::W)) {
        step += dt * kGoalieWalkRate;
        while (step > 1.0f) {
            step -= 1.0f;
            targetSlide[g] = targetSlide[g] + 1 > slideLimit(0) ? slideLimit(0) : targetSlide[g] + 1;
        }
    }
}

bool Game::moveTeam(int team) {
    bool contact = false;
    for (int i = 6 * team; i < 6 * team + 6; ++i) {
        if (movePlayer(i)) {
            playSample(sample::StickClick, true);
            contact = true;
        }
    }
    const int p = selectedRod[team];
    const Point2 at = groovePoint(p, slide[p]);
    selectionLight->setPosition(at.x, 50.0f, at.z);
    return contact;
}

void Game::advancePlay(float dt) {
    if (goalPause > 0.0f) {
        goalPause -= dt;
        if (goalPause <= 0.0f) {
            goalPause = -1.0f;
            flow.lastGoalSide = 0;
            puckPos[0] = puckPos[1] = 0.0f;
            puckVel[0] = puckVel[1] = 0.0f;
        }
    } else {
        const int side = stepPuck(dt);
        flow.lastGoalSide = side;
        if (side > 0) scoreGoal(side);
    }
    puckImpulse[0] = puckImpulse[1] = 0.0f;
}

void Game::scoreGoal(int side) {
    if (side != 1 && side != 2) return;
    int& s = score[side - 1];
    s += 1;
    celebrateGoal(kGoalPause, s == kWinningScore);
}

void Game::celebrateGoal(float pause, bool winning) {
    goalPause = pause;
    if (soundOn) playSampleNow(sample::Horn);
    if (winning) {
        goalPause = kWinningPause;
        flow.matchEndCountdown = kMatchEndDelay;
        if (soundOn) playSampleNow(sample::FinalFanfare);
    } else if (soundOn) {
        playSampleNow(sample::Fanfare);
    }
}

void Game::practiceFrame(float dt) {
    const int team = puckOwner == 2 ? 1 : 0;
    const int other = 1 - team;
    // A computer steers a team in the player's stead; the player's team goes last, so
    // the selection light ends on its figure.
    if (computers[other]) {
        computers[other]->steer(*this, dt);
        moveTeam(other);
    } else {
        for (int i = 6 * other; i < 6 * other + 6; ++i) placePlayerModel(i);
    }
    if (computers[team])
        computers[team]->steer(*this, dt);
    else
        steerSelectedPlayer(team, dt);
    moveTeam(team);
    advancePlay(dt);
}

void Game::practiceSideSwitch(float dt) {
    const uint8_t button = mouse->leftButton ? 1 : 0;
    float& t = flow.sideSwitchTimer;
    if (t >= 0.0f) {
        t += puckOwner == 1 ? -dt : dt;
        if (t < 0.0f || t > 1.0f) {
            t = -1.0f;
            // The light ends where the swing leads it, not where its last frame's step left it.
            mainLight->setPosition(-10.0f, 120.0f, puckOwner == 1 ? -50.0f : 50.0f);
        }
    } else if (keyboard->isKeyDown(key::Space) || (button && !flow.practiceButtonWasDown)) {
        if (puckOwner == 1) {
            puckOwner = 2;
            t = 0.001f;
        } else {
            puckOwner = 1;
            t = 0.999f;
        }
    }
    flow.practiceButtonWasDown = button;
}
