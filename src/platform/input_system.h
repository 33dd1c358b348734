#pragma once
// Keyboard and mouse in the shape of the DirectInput 8 calls the input code makes:
// devices with a data format, a cooperative level, acquisition and state reads.
#include <cstdint>

#include "platform/window_handle.h"

enum class InputResult {
    Ok,
    Failed,
    InputLost,    // acquisition was lost (the window left the foreground); acquire again
    NotAcquired,  // read before a successful acquire
};

enum class InputDeviceKind { SystemKeyboard, SystemMouse };
enum class InputDataFormat { Keyboard, Mouse };

namespace coop {  // cooperative level flags
constexpr uint32_t Exclusive = 0x1, NonExclusive = 0x2, Foreground = 0x4, Background = 0x8,
                   NoWinKey = 0x10;
}

// The keyboard format reads 256 bytes, one per key code, bit 7 set while down.
constexpr uint32_t kKeyboardStateSize = 256;

// The mouse format: movement since the previous read in mouse counts, then the buttons
// (bit 7 set while down).
struct MouseStateRecord {
    int32_t x = 0, y = 0, z = 0;
    uint8_t buttons[4] = {};
};
static_assert(sizeof(MouseStateRecord) == 16);

class InputDevice {
public:
    virtual ~InputDevice() = default;  // releases the device
    virtual bool setDataFormat(InputDataFormat format) = 0;
    virtual bool setCooperativeLevel(WindowHandle window, uint32_t flags) = 0;
    virtual bool acquire() = 0;
    virtual bool unacquire() = 0;
    virtual InputResult getDeviceState(uint32_t size, void* data) = 0;
};

class InputSystem {
public:
    virtual ~InputSystem() = default;  // releases the system; devices must be gone first
    // The device belongs to the caller. Null on failure.
    virtual InputDevice* createDevice(InputDeviceKind kind) = 0;
};

// Makes the input system: the SDL one in the programs, a scripted one in tests.
// Null means the system could not be created; so does an unset factory.
using InputSystemFactory = InputSystem* (*)();
void setInputSystemFactory(InputSystemFactory factory);
InputSystem* createInputSystem();
