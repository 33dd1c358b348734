#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/application.h"
#include "app/frame_timer.h"
#include "graphics/device_holder.h"
#include "graphics/graphics_device.h"
#include "input/input_devices.h"
#include "input/key_buffer.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_input_system.h"
#include "platform/fake/recording_device.h"
#include "sim/game.h"
#include "support/test_support.h"

namespace {

int g_window;
WindowHandle window() { return &g_window; }

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        captureErrorBoxes();
        installRecordingSystem(&recorder);
        GraphicsDevice::resetStateCaches();
        FakeInput::reset();
        setInputSystemFactory(FakeInput::factory);
        clock.frequency = 1000;
        installClock(&clock);
        KeyBuffer::instance() = KeyBuffer();
    }
    void TearDown() override {
        installRecordingSystem(nullptr);
        setInputSystemFactory(nullptr);
        installClock(nullptr);
    }

    // The parts that init brings up before the game load, brought up by hand so that
    // frames can run without the asset files.
    void startWithoutAssets(Application& app) {
        ASSERT_TRUE(app.graphics->init(window(), 1024, 768));
        ASSERT_TRUE(app.input->init(window()));
        app.timer->init();
    }

    Recorder recorder;
    FakeClock clock;
    ScratchDir dir;  // no asset files: the game load fails
};

TEST_F(ApplicationTest, GraphicsFailureStopsInitBeforeInput) {
    installRecordingSystem(nullptr);
    Application app;
    EXPECT_FALSE(app.init(window()));
    EXPECT_EQ(errorBoxes().size(), 1u);
    EXPECT_TRUE(FakeInput::script().log.empty());
    EXPECT_EQ(app.timer->secondsPerCount, 0.0f);  // the timer was not started
}

TEST_F(ApplicationTest, InputFailureLeavesGraphicsForTheDestructor) {
    FakeInput::script().failMouseCreate = true;
    {
        Application app;
        EXPECT_FALSE(app.init(window()));
        EXPECT_EQ(errorBoxes(), std::vector<std::string>{"Mouse error!"});
        EXPECT_NE(DeviceHolder::instance().device, nullptr);
        EXPECT_EQ(app.timer->secondsPerCount, 0.0f);
    }
    EXPECT_EQ(DeviceHolder::instance().device, nullptr);
    EXPECT_EQ(FakeInput::script().liveDevices, 0);
    EXPECT_EQ(FakeInput::script().liveSystems, 0);
}

TEST_F(ApplicationTest, TimerStartsBeforeTheGameLoadAndItsResultIsInits) {
    Application app;
    EXPECT_FALSE(app.init(window()));  // no asset files here
    EXPECT_TRUE(app.timer->usesPerformanceCounter);
    EXPECT_EQ(FakeInput::script().liveDevices, 2);
}

TEST_F(ApplicationTest, FrameTicksPollsUpdatesThenRenders) {
    Application app;
    startWithoutAssets(app);
    FakeInput::script().log.clear();
    recorder.clear();

    clock.count += 40;  // 0.04 s
    EXPECT_TRUE(app.frame(window()));
    EXPECT_FLOAT_EQ(app.game->flow.introTime, 0.04f);
    EXPECT_EQ(FakeInput::script().log,
              (std::vector<std::string>{"keyboard.acquire", "keyboard.read", "mouse.acquire", "mouse.read"}));
    EXPECT_EQ(recorder.countOf("present"), 1u);

    clock.count += 2000;  // a stall is cut to 0.1 s
    EXPECT_TRUE(app.frame(window()));
    EXPECT_FLOAT_EQ(app.game->flow.introTime, 0.14f);
}

TEST_F(ApplicationTest, FrameWhoseUpdateEndsTheGameDrawsNothing) {
    Application app;
    startWithoutAssets(app);
    recorder.clear();
    FakeInput::script().keys[key::Escape] = 0x80;  // read by this frame's poll
    EXPECT_FALSE(app.frame(window()));
    EXPECT_TRUE(recorder.calls.empty());
}

TEST_F(ApplicationTest, DeviceResetFrameTellsTheGame) {
    Application app;
    startWithoutAssets(app);
    ASSERT_TRUE(app.frame(window()));
    size_t boxes = errorBoxes().size();

    recorder.loseDevice(true);
    EXPECT_TRUE(app.frame(window()));
    EXPECT_EQ(recorder.countOf("reset"), 1u);
    // The game reloads its pointer texture, which in this empty folder is reported missing.
    EXPECT_GT(errorBoxes().size(), boxes);
}

}  // namespace
