// The input system as thin calls on DirectInput 8. The keyboard state is indexed by
// DIK codes already, which is what the key buffer holds, so no key mapping is needed.
#include "platform/dinput_input_system.h"

#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>
#include <dinput.h>

static_assert(coop::Exclusive == DISCL_EXCLUSIVE && coop::NonExclusive == DISCL_NONEXCLUSIVE &&
                  coop::Foreground == DISCL_FOREGROUND && coop::Background == DISCL_BACKGROUND &&
                  coop::NoWinKey == DISCL_NOWINKEY,
              "cooperative level flags pass through unchanged");
static_assert(sizeof(MouseStateRecord) == sizeof(DIMOUSESTATE), "the mouse record is a DIMOUSESTATE");

namespace {

class DirectInputDevice final : public InputDevice {
public:
    explicit DirectInputDevice(IDirectInputDevice8A* device) : device_(device) {}
    ~DirectInputDevice() override { device_->Release(); }
    DirectInputDevice(const DirectInputDevice&) = delete;
    DirectInputDevice& operator=(const DirectInputDevice&) = delete;

    bool setDataFormat(InputDataFormat format) override {
        return SUCCEEDED(device_->SetDataFormat(format == InputDataFormat::Keyboard ? &c_dfDIKeyboard : &c_dfDIMouse));
    }

    bool setCooperativeLevel(WindowHandle window, uint32_t flags) override {
        return SUCCEEDED(device_->SetCooperativeLevel(static_cast<HWND>(window), flags));
    }

    bool acquire() override { return SUCCEEDED(device_->Acquire()); }
    bool unacquire() override { return SUCCEEDED(device_->Unacquire()); }

    InputResult getDeviceState(uint32_t size, void* data) override {
        const HRESULT hr = device_->GetDeviceState(size, data);
        if (SUCCEEDED(hr)) return InputResult::Ok;
        if (hr == DIERR_INPUTLOST) return InputResult::InputLost;
        if (hr == DIERR_NOTACQUIRED) return InputResult::NotAcquired;
        return InputResult::Failed;
    }

private:
    IDirectInputDevice8A* device_;
};

class DirectInputSystem final : public InputSystem {
public:
    explicit DirectInputSystem(IDirectInput8A* directInput) : directInput_(directInput) {}
    ~DirectInputSystem() override { directInput_->Release(); }
    DirectInputSystem(const DirectInputSystem&) = delete;
    DirectInputSystem& operator=(const DirectInputSystem&) = delete;

    InputDevice* createDevice(InputDeviceKind kind) override {
        const GUID& id = kind == InputDeviceKind::SystemKeyboard ? GUID_SysKeyboard : GUID_SysMouse;
        IDirectInputDevice8A* device = nullptr;
        if (FAILED(directInput_->CreateDevice(id, &device, nullptr)) || device == nullptr) return nullptr;
        return new DirectInputDevice(device);
    }

private:
    IDirectInput8A* directInput_;
};

}  // namespace

InputSystem* createDirectInputSystem() {
    IDirectInput8A* directInput = nullptr;
    const HRESULT hr = DirectInput8Create(GetModuleHandleA(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                          reinterpret_cast<void**>(&directInput), nullptr);
    if (FAILED(hr) || directInput == nullptr) return nullptr;
    return new DirectInputSystem(directInput);
}
