#pragma once
// The system keyboard and mouse, copied once per frame into the KeyBuffer and MouseState.
#include "platform/window_handle.h"

class InputSystem;
class InputDevice;
class MouseState;
class KeyBuffer;

class InputDevices {
public:
    InputDevices();
    ~InputDevices();  // unacquires and releases the keyboard, the mouse, then the system
    InputDevices(const InputDevices&) = delete;
    InputDevices& operator=(const InputDevices&) = delete;

    // Opens both devices; a failure is reported with showError and returns false.
    bool init(WindowHandle window);
    // One snapshot each. A device that lost the focus is acquired again on the next poll.
    void pollKeyboard();
    void pollMouse();

private:
    InputSystem* directInput_ = nullptr;
    InputDevice* keyboard_ = nullptr;
    InputDevice* mouse_ = nullptr;
    MouseState* mouseState_;
    KeyBuffer* keyBuffer_;
};
