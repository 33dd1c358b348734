#pragma once
// A scripted input system. Tests install FakeInput::factory, set the failure points,
// focus and device states on FakeInput::script(), and read back the log of calls.
#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/input_system.h"

struct FakeInputScript {
    // Failure points, in the order the input code meets them.
    bool failSystem = false;
    bool failKeyboardCreate = false, failKeyboardFormat = false, failKeyboardLevel = false;
    bool failMouseCreate = false, failMouseFormat = false, failMouseLevel = false;

    // While false, acquire fails; an acquired device's next read reports InputLost.
    bool focused = true;

    std::array<uint8_t, 256> keys{};        // what a keyboard read returns
    std::deque<MouseStateRecord> mouseReads;  // each mouse read takes the front; none: no movement
    uint8_t mouseButtons[4] = {};           // buttons of a read from an empty queue

    // "keyboard.create", "keyboard.format", "keyboard.level 0x16", "keyboard.acquire",
    // "keyboard.read", "keyboard.unacquire", "keyboard.release", the same for "mouse",
    // "system.create", "system.release". Failed calls carry " failed".
    std::vector<std::string> log;
    int liveSystems = 0, liveDevices = 0;
    WindowHandle keyboardWindow = nullptr, mouseWindow = nullptr;
};

namespace FakeInput {
FakeInputScript& script();
void reset();               // a fresh script; keeps nothing
InputSystem* factory();     // for setInputSystemFactory
}  // namespace FakeInput
