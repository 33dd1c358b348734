// The computer in a practice match: C hands the team the player is not steering to it and
// cycles its level (off, easy, normal, hard); it follows that team across side switches,
// and a badge beside the score panel shows its level.
#include "ai/computer_player.h"
#include "input/key_buffer.h"
#include "sim/game.h"

void Game::practiceComputerKey() {
    const bool down = keyboard->isKeyDown(key::C);
    if (down && !flow.computerKeyWasDown)
        flow.computerLevel = static_cast<int>(nextComputerLevel(static_cast<ComputerLevel>(flow.computerLevel)));
    flow.computerKeyWasDown = down ? 1 : 0;
}

void Game::seatPracticeComputer() {
    const int other = puckOwner == 2 ? 0 : 1;
    const ComputerLevel level = static_cast<ComputerLevel>(flow.computerLevel);
    if (level == ComputerLevel::Off || !practiceComputer || practiceComputer->team() != other ||
        practiceComputer->level() != level)
        unseatPracticeComputer();
    if (level != ComputerLevel::Off && !practiceComputer)
        practiceComputer = new ComputerPlayer(other, level, flow.computerSeed++);
    // A seat taken by someone else's computer (a test, matchsim) is left alone.
    if (practiceComputer && !computers[other]) computers[other] = practiceComputer;
    const bool playing = practiceComputer && computers[other] == practiceComputer;
    for (int i = 0; i < 3; ++i) computerBadges[i].visible = playing && static_cast<int>(level) == i + 1;
}

void Game::unseatPracticeComputer() {
    for (ComputerPlayer*& seat : computers)
        if (seat && seat == practiceComputer) seat = nullptr;
    delete practiceComputer;
    practiceComputer = nullptr;
    for (int i = 0; i < 3; ++i) computerBadges[i].visible = false;
}
