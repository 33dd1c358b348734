#include "platform/fake/fake_input_system.h"

#include <cstdio>
#include <cstring>

namespace {
FakeInputScript& theScript() {
    static FakeInputScript s;
    return s;
}

void note(const std::string& name, const char* call, bool ok = true) {
    theScript().log.push_back(name + "." + call + (ok ? "" : " failed"));
}

class FakeDevice final : public InputDevice {
public:
    explicit FakeDevice(bool keyboard) : keyboard_(keyboard), name_(keyboard ? "keyboard" : "mouse") {
        ++theScript().liveDevices;
    }
    ~FakeDevice() override {
        note(name_, "release");
        --theScript().liveDevices;
    }

    bool setDataFormat(InputDataFormat format) override {
        FakeInputScript& s = theScript();
        bool ok = !(keyboard_ ? s.failKeyboardFormat : s.failMouseFormat) &&
                  format == (keyboard_ ? InputDataFormat::Keyboard : InputDataFormat::Mouse);
        note(name_, "format", ok);
        return ok;
    }

    bool setCooperativeLevel(WindowHandle window, uint32_t flags) override {
        FakeInputScript& s = theScript();
        bool ok = !(keyboard_ ? s.failKeyboardLevel : s.failMouseLevel);
        char text[32];
        std::snprintf(text, sizeof text, "level 0x%x", static_cast<unsigned>(flags));
        note(name_, text, ok);
        if (ok) (keyboard_ ? s.keyboardWindow : s.mouseWindow) = window;
        return ok;
    }

    // Like the real devices: acquiring an acquired device succeeds; losing the focus
    // shows at the next read.
    bool acquire() override {
        bool ok = acquired_ || theScript().focused;
        note(name_, "acquire", ok);
        if (ok) acquired_ = true;
        return ok;
    }

    bool unacquire() override {
        note(name_, "unacquire");
        bool was = acquired_;
        acquired_ = false;
        return was;
    }

    InputResult getDeviceState(uint32_t size, void* data) override {
        FakeInputScript& s = theScript();
        if (!acquired_) {
            note(name_, "read notAcquired");
            return InputResult::NotAcquired;
        }
        if (!s.focused) {
            acquired_ = false;
            note(name_, "read inputLost");
            return InputResult::InputLost;
        }
        note(name_, "read");
        if (keyboard_) {
            if (size != s.keys.size()) return InputResult::Failed;
            std::memcpy(data, s.keys.data(), s.keys.size());
        } else {
            if (size != sizeof(MouseStateRecord)) return InputResult::Failed;
            MouseStateRecord record;
            if (!s.mouseReads.empty()) {
                record = s.mouseReads.front();
                s.mouseReads.pop_front();
            } else {
                std::memcpy(record.buttons, s.mouseButtons, sizeof record.buttons);
            }
            std::memcpy(data, &record, sizeof record);
        }
        return InputResult::Ok;
    }

private:
    bool keyboard_;
    bool acquired_ = false;
    std::string name_;
};

class FakeSystem final : public InputSystem {
public:
    FakeSystem() { ++theScript().liveSystems; }
    ~FakeSystem() override {
        theScript().log.push_back("system.release");
        --theScript().liveSystems;
    }

    InputDevice* createDevice(InputDeviceKind kind) override {
        FakeInputScript& s = theScript();
        bool keyboard = kind == InputDeviceKind::SystemKeyboard;
        bool ok = !(keyboard ? s.failKeyboardCreate : s.failMouseCreate);
        note(keyboard ? "keyboard" : "mouse", "create", ok);
        return ok ? new FakeDevice(keyboard) : nullptr;
    }
};
}  // namespace

namespace FakeInput {
FakeInputScript& script() { return theScript(); }

void reset() { theScript() = FakeInputScript(); }

InputSystem* factory() {
    FakeInputScript& s = theScript();
    s.log.push_back(s.failSystem ? "system.create failed" : "system.create");
    return s.failSystem ? nullptr : new FakeSystem();
}
}  // namespace FakeInput
