#include <SDL.h>

#include <cstring>

#include "platform/key_map.h"
#include "platform/sdl_shell.h"

namespace {
bool validLevel(uint32_t flags) {
    bool exclusive = flags & coop::Exclusive, nonExclusive = flags & coop::NonExclusive;
    bool foreground = flags & coop::Foreground, background = flags & coop::Background;
    return exclusive != nonExclusive && foreground != background;
}

// Acquisition follows the keyboard focus of the window: a foreground device cannot be
// acquired while another window has the focus, and loses acquisition when focus goes.
class SdlDevice : public InputDevice {
public:
    explicit SdlDevice(InputDataFormat format) : format_(format) {}

    bool setDataFormat(InputDataFormat format) override {
        if (acquired_ || format != format_) return false;
        formatSet_ = true;
        return true;
    }

    bool setCooperativeLevel(WindowHandle window, uint32_t flags) override {
        SDL_Window* w = static_cast<SDL_Window*>(window);
        if (acquired_ || !w || SDL_GetWindowID(w) == 0 || !validLevel(flags)) return false;
        window_ = w;
        flags_ = flags;
        return true;
    }

    bool acquire() override {
        if (acquired_) return true;
        if (!formatSet_ || !window_ || !focused()) return false;
        acquired_ = true;
        onAcquire();
        return true;
    }

    bool unacquire() override {
        if (!acquired_) return false;
        acquired_ = false;
        onUnacquire();
        return true;
    }

    InputResult getDeviceState(uint32_t size, void* data) override {
        if (!data) return InputResult::Failed;
        if (!acquired_) return InputResult::NotAcquired;
        if (!focused()) {
            unacquire();
            return InputResult::InputLost;
        }
        return read(size, data);
    }

protected:
    virtual void onAcquire() {}
    virtual void onUnacquire() {}
    virtual InputResult read(uint32_t size, void* data) = 0;
    bool exclusive() const { return flags_ & coop::Exclusive; }

private:
    bool focused() const {
        return !(flags_ & coop::Foreground) || SDL_GetKeyboardFocus() == window_;
    }

    InputDataFormat format_;
    bool formatSet_ = false;
    bool acquired_ = false;
    SDL_Window* window_ = nullptr;
    uint32_t flags_ = 0;
};

class SdlKeyboard final : public SdlDevice {
public:
    SdlKeyboard() : SdlDevice(InputDataFormat::Keyboard) {}

protected:
    InputResult read(uint32_t size, void* data) override {
        if (size != kKeyboardStateSize) return InputResult::Failed;
        int count = 0;
        const Uint8* keys = SDL_GetKeyboardState(&count);
        uint8_t* out = static_cast<uint8_t*>(data);
        std::memset(out, 0, kKeyboardStateSize);
        size_t mapped = 0;
        const KeyMapping* table = keyMappings(&mapped);
        for (size_t i = 0; i < mapped; ++i)
            if (table[i].scancode < count && keys[table[i].scancode]) out[table[i].keyCode] = 0x80;
        return InputResult::Ok;
    }
};

class SdlMouse final : public SdlDevice {
public:
    SdlMouse() : SdlDevice(InputDataFormat::Mouse) {}
    ~SdlMouse() override { unacquire(); }

protected:
    void onAcquire() override {
        // Exclusive: the pointer is captured and only relative movement is reported.
        if (exclusive()) SDL_SetRelativeMouseMode(SDL_TRUE);
        SDL_GetRelativeMouseState(nullptr, nullptr);  // movement counts from now
    }

    void onUnacquire() override {
        if (exclusive()) SDL_SetRelativeMouseMode(SDL_FALSE);
    }

    InputResult read(uint32_t size, void* data) override {
        if (size != sizeof(MouseStateRecord)) return InputResult::Failed;
        MouseStateRecord record;
        int dx = 0, dy = 0;
        Uint32 buttons = SDL_GetRelativeMouseState(&dx, &dy);  // accumulated since the last read
        record.x = dx;
        record.y = dy;
        record.buttons[0] = (buttons & SDL_BUTTON_LMASK) ? 0x80 : 0;
        record.buttons[1] = (buttons & SDL_BUTTON_RMASK) ? 0x80 : 0;
        record.buttons[2] = (buttons & SDL_BUTTON_MMASK) ? 0x80 : 0;
        record.buttons[3] = (buttons & SDL_BUTTON_X1MASK) ? 0x80 : 0;
        std::memcpy(data, &record, sizeof record);
        return InputResult::Ok;
    }
};

class SdlInputSystem final : public InputSystem {
public:
    InputDevice* createDevice(InputDeviceKind kind) override {
        if (kind == InputDeviceKind::SystemKeyboard)
            return SDL_GetKeyboardState(nullptr) ? new SdlKeyboard() : nullptr;
        return new SdlMouse();
    }
};
}  // namespace

InputSystem* createSdlInputSystem() {
    // The devices read the event state of the video subsystem.
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return nullptr;
    return new SdlInputSystem();
}
