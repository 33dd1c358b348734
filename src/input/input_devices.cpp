#include "input/input_devices.h"

#include <cstring>

#include "app/show_error.h"
#include "input/key_buffer.h"
#include "input/mouse_state.h"
#include "platform/input_system.h"

InputDevices::InputDevices() : mouseState_(&MouseState::instance()), keyBuffer_(&KeyBuffer::instance()) {}

InputDevices::~InputDevices() {
    if (keyboard_) {
        keyboard_->unacquire();
        delete keyboard_;
    }
    if (mouse_) {
        mouse_->unacquire();
        delete mouse_;
    }
    delete directInput_;
}

bool InputDevices::init(WindowHandle window) {
    directInput_ = createInputSystem();
    if (!directInput_) return showError("DirectInput error. Make sure DirectX 9 or newer is properly installed.");

    keyboard_ = directInput_->createDevice(InputDeviceKind::SystemKeyboard);
    if (!keyboard_) return showError("Keyboard error!");
    if (!keyboard_->setDataFormat(InputDataFormat::Keyboard)) return showError("Keyboard data format error!!! :D");
    if (!keyboard_->setCooperativeLevel(window, coop::NonExclusive | coop::Foreground | coop::NoWinKey))
        return showError("Keyboard cooperative level error!");
    keyboard_->acquire();

    mouse_ = directInput_->createDevice(InputDeviceKind::SystemMouse);
    if (!mouse_) return showError("Mouse error!");
    if (!mouse_->setDataFormat(InputDataFormat::Mouse)) return showError("Mouse data format error!!! :D");
    if (!mouse_->setCooperativeLevel(window, coop::Exclusive | coop::Foreground))
        return showError("Mouse cooperative level error!");
    mouse_->acquire();
    return true;
}

void InputDevices::pollKeyboard() {
    if (!keyboard_) return;
    keyboard_->acquire();
    // Read aside: a failed read leaves the buffer as the last good one left it.
    uint8_t keys[kKeyboardStateSize];
    InputResult result = keyboard_->getDeviceState(sizeof keys, keys);
    if (result == InputResult::Ok) std::memcpy(keyBuffer_->bytes, keys, sizeof keys);
    else if (result == InputResult::InputLost) keyboard_->acquire();
}

void InputDevices::pollMouse() {
    if (!mouse_) return;
    mouse_->acquire();
    MouseStateRecord record;
    InputResult result = mouse_->getDeviceState(sizeof record, &record);
    if (result == InputResult::InputLost) mouse_->acquire();
    // A failed read moves nothing and keeps the buttons.
    bool ok = result == InputResult::Ok;
    mouseState_->moveX(ok ? record.x : 0);
    mouseState_->moveY(ok ? record.y : 0);
    if (ok) {
        mouseState_->leftButton = (record.buttons[0] & 0x80) ? 1 : 0;
        mouseState_->rightButton = (record.buttons[1] & 0x80) ? 1 : 0;
    }
}
