#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/input_devices.h"
#include "input/key_buffer.h"
#include "input/mouse_state.h"
#include "platform/fake/fake_input_system.h"
#include "support/test_support.h"

namespace {

int g_window;
WindowHandle window() { return &g_window; }

class InputDevicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeInput::reset();
        setInputSystemFactory(FakeInput::factory);
        captureErrorBoxes();
        KeyBuffer::instance() = KeyBuffer();
        MouseState::instance() = MouseState();
    }
    void TearDown() override { setInputSystemFactory(nullptr); }

    FakeInputScript& script() { return FakeInput::script(); }
    std::vector<std::string> logWithout(const std::string& prefix) {
        std::vector<std::string> out;
        for (auto& e : script().log)
            if (e.rfind(prefix, 0) != 0) out.push_back(e);
        return out;
    }
};

TEST_F(InputDevicesTest, InitOpensKeyboardThenMouseWithTheirLevels) {
    {
        InputDevices input;
        ASSERT_TRUE(input.init(window()));
        EXPECT_TRUE(errorBoxes().empty());
        EXPECT_EQ(script().log, (std::vector<std::string>{
                                    "system.create", "keyboard.create", "keyboard.format", "keyboard.level 0x16",
                                    "keyboard.acquire", "mouse.create", "mouse.format", "mouse.level 0x5",
                                    "mouse.acquire"}));
        EXPECT_EQ(script().keyboardWindow, window());
        EXPECT_EQ(script().mouseWindow, window());
        script().log.clear();
    }
    EXPECT_EQ(script().log, (std::vector<std::string>{"keyboard.unacquire", "keyboard.release", "mouse.unacquire",
                                                      "mouse.release", "system.release"}));
    EXPECT_EQ(script().liveDevices, 0);
    EXPECT_EQ(script().liveSystems, 0);
}

// Each failure point: its one message, nothing after it is tried, and whatever was
// obtained is released by the destructor.
TEST_F(InputDevicesTest, EachStartUpFailureHasItsMessageAndReleasesWhatWasOpened) {
    struct Case {
        bool FakeInputScript::*fail;
        const char* message;
        const char* lastCall;
    };
    const Case cases[] = {
        {&FakeInputScript::failSystem, "DirectInput error. Make sure DirectX 9 or newer is properly installed.",
         "system.create failed"},
        {&FakeInputScript::failKeyboardCreate, "Keyboard error!", "keyboard.create failed"},
        {&FakeInputScript::failKeyboardFormat, "Keyboard data format error!!! :D", "keyboard.format failed"},
        {&FakeInputScript::failKeyboardLevel, "Keyboard cooperative level error!", "keyboard.level 0x16 failed"},
        {&FakeInputScript::failMouseCreate, "Mouse error!", "mouse.create failed"},
        {&FakeInputScript::failMouseFormat, "Mouse data format error!!! :D", "mouse.format failed"},
        {&FakeInputScript::failMouseLevel, "Mouse cooperative level error!", "mouse.level 0x5 failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        FakeInput::reset();
        captureErrorBoxes();
        script().*c.fail = true;
        {
            InputDevices input;
            EXPECT_FALSE(input.init(window()));
            EXPECT_EQ(errorBoxes(), std::vector<std::string>{c.message});
            EXPECT_EQ(script().log.back(), c.lastCall);
        }
        EXPECT_EQ(script().liveDevices, 0);
        EXPECT_EQ(script().liveSystems, 0);
    }
}

TEST_F(InputDevicesTest, AcquireFailureAtStartIsNotAnError) {
    script().focused = false;
    InputDevices input;
    EXPECT_TRUE(input.init(window()));
    EXPECT_TRUE(errorBoxes().empty());
}

TEST_F(InputDevicesTest, KeyboardPollCopiesHeldKeysEveryFrame) {
    InputDevices input;
    ASSERT_TRUE(input.init(window()));
    KeyBuffer& keys = KeyBuffer::instance();
    script().keys[key::Escape] = 0x80;
    script().keys[key::Q] = 0x80;
    for (int frame = 0; frame < 3; ++frame) {
        input.pollKeyboard();
        EXPECT_TRUE(keys.isKeyDown(key::Escape));
        EXPECT_TRUE(keys.isKeyDown(key::Q));
        EXPECT_FALSE(keys.isKeyDown(key::W));
    }
    script().keys[key::Escape] = 0;
    input.pollKeyboard();
    EXPECT_FALSE(keys.isKeyDown(key::Escape));
}

TEST_F(InputDevicesTest, FocusLossKeepsTheLastKeysUntilAReadSucceeds) {
    InputDevices input;
    ASSERT_TRUE(input.init(window()));
    script().keys[key::W] = 0x80;
    input.pollKeyboard();
    script().log.clear();

    script().focused = false;  // the window leaves the foreground with W held
    script().keys[key::W] = 0;
    input.pollKeyboard();
    input.pollKeyboard();
    EXPECT_TRUE(KeyBuffer::instance().isKeyDown(key::W));
    EXPECT_EQ(script().log, (std::vector<std::string>{"keyboard.acquire", "keyboard.read inputLost",
                                                      "keyboard.acquire failed", "keyboard.acquire failed",
                                                      "keyboard.read notAcquired"}));

    script().focused = true;  // back: acquired again at the next poll
    input.pollKeyboard();
    EXPECT_FALSE(KeyBuffer::instance().isKeyDown(key::W));
}

TEST_F(InputDevicesTest, MousePollMovesByTheReadAndTakesBothButtons) {
    InputDevices input;
    ASSERT_TRUE(input.init(window()));
    MouseState& m = MouseState::instance();
    MouseStateRecord far;
    far.x = 5000;
    far.y = 40;
    far.buttons[0] = 0x80;
    far.buttons[1] = 0x80;
    far.buttons[2] = 0x80;
    script().mouseReads.push_back(far);
    input.pollMouse();
    EXPECT_EQ(m.x, 1023);
    EXPECT_EQ(m.deltaX, 5000);
    EXPECT_EQ(m.y, 40);
    EXPECT_EQ(m.leftButton, 1);
    EXPECT_EQ(m.rightButton, 1);

    input.pollMouse();  // no movement, buttons released
    EXPECT_EQ(m.deltaX, 0);
    EXPECT_EQ(m.deltaY, 0);
    EXPECT_EQ(m.x, 1023);
    EXPECT_EQ(m.leftButton, 0);
    EXPECT_EQ(m.rightButton, 0);
}

TEST_F(InputDevicesTest, FailedMouseReadMovesNothingAndKeepsButtons) {
    InputDevices input;
    ASSERT_TRUE(input.init(window()));
    MouseState& m = MouseState::instance();
    MouseStateRecord press;
    press.x = 30;
    press.buttons[0] = 0x80;
    script().mouseReads.push_back(press);
    input.pollMouse();
    ASSERT_EQ(m.leftButton, 1);

    script().focused = false;
    MouseStateRecord unread;
    unread.x = 999;
    script().mouseReads.push_back(unread);
    input.pollMouse();
    EXPECT_EQ(m.x, 30);
    EXPECT_EQ(m.deltaX, 0);
    EXPECT_EQ(m.leftButton, 1);
    EXPECT_EQ(logWithout("keyboard").back(), "mouse.acquire failed");  // re-acquire after the loss

    script().focused = true;
    input.pollMouse();
    EXPECT_EQ(m.x, 1023);  // the queued read arrives once acquired again
}

}  // namespace
