// One frame of the match: play, side switch, camera, quitting, the score markers and the end.
#include "ai/computer_player.h"
#include "input/key_buffer.h"
#include "platform/datagram_link.h"
#include "sim/game.h"

namespace {
constexpr float kForcedEndStep = 0.2f;  // F10 runs the end countdown out at once
constexpr float kHeldCountdown = 0.001f;
}  // namespace

bool Game::matchFrame(float dt) {
    const int mode = flow.matchMode;
    const bool network = mode == Create || mode == Join;

    if (mode == Practice) {
        practiceComputerKey();
        seatPracticeComputer();
        practiceFrame(dt);
    } else if (network && flow.sessionOpen) {
        const int team = mode == Create ? 0 : 1;
        if (computers[team])
            computers[team]->steer(*this, dt);
        else
            steerSelectedPlayer(team, dt);
        const bool ownContact = moveTeam(team);
        if (mode == Create)
            creatingExchange(ownContact, dt);
        else
            joiningExchange(ownContact, dt);
    }

    if (mode == Practice) practiceSideSwitch(dt);
    placeCamera();

    if (keyboard->isKeyDown(key::Escape)) {
        if (flow.sessionOpen && network && link) link->close();
        return false;
    }

    if (score[0] < kWinningScore)
        scoreSprites[1].setPosition(39.0f + 18.0f * static_cast<float>(score[0]), 0.0f, 0.0f);
    if (score[1] < kWinningScore)
        scoreSprites[2].setPosition(39.0f + 18.0f * static_cast<float>(score[1]), 24.0f, 0.0f);

    float step = dt;
    const bool forced = keyboard->isKeyDown(key::F10);
    if (forced) {
        flow.matchEndCountdown = 0.001f;
        step = kForcedEndStep;
    } else if (flow.matchEndCountdown <= 0.0f) {
        return true;
    }
    flow.matchEndCountdown -= step;
    if (flow.matchEndCountdown > 0.0f) return true;
    if (!forced && mode == Create && flow.sessionOpen && holdMatchEnd(dt)) {
        flow.matchEndCountdown = kHeldCountdown;  // still running: asked again next frame
        return true;
    }

    leaveMatch();
    return true;
}
