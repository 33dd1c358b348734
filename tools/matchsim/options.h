#pragma once
// matchsim's command line.
#include <cstdint>
#include <string>

#include "ai/computer_player.h"
#include "frame_times.h"
#include "platform/fake/loop_link.h"

struct Options {
    bool network = false;
    ComputerLevel levels[2] = {ComputerLevel::Hard, ComputerLevel::Off};  // by team
    int matches = 10;
    uint64_t seed = 1;
    LinkFaults faults{0.0, 0.2, 0.25};  // the relay's hold share and longest hold
    FrameTimeSetting frameTimes[2];     // practice uses the first; network: creating, joining
    double maxMinutes = 20.0;           // game time after which a match is given up
};

// False, with a message in `error`, for anything it cannot use.
bool parseOptions(int argc, char** argv, Options& out, std::string& error);
const char* usageText();
