#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_loop.h"
#include "platform/fake/fake_window_system.h"
#include "platform/render_device.h"
#include "support/test_support.h"

namespace {

using Log = std::vector<std::string>;

struct Loop {
    FakeWindowSystem windows;
    WindowHandle window = windows.createWindow("Frostel", 1024, 768, true);
    int frames = 0;

    Loop() { windows.log.clear(); }

    // Runs the loop with a frame that logs itself and does `during(frame number)`;
    // the frame numbered `last` returns false.
    template <class During>
    void run(int last, During during) {
        runEventLoop(windows, window, [&] {
            ++frames;
            windows.log.push_back("frame");
            during(frames);
            return frames != last;
        });
    }
};

TEST(EventLoop, WaitingEventsAreHandledOnePerPassBeforeTheNextFrame) {
    Loop loop;
    loop.windows.pending = {WindowEvent::Other, WindowEvent::Other};
    loop.run(3, [&](int frame) {
        if (frame == 1) loop.windows.pending = {WindowEvent::Other, WindowEvent::Other, WindowEvent::Other};
    });
    EXPECT_EQ(loop.windows.log, (Log{"event other", "event other", "frame", "event other", "event other",
                                     "event other", "frame", "frame", "destroy", "quit"}));
}

TEST(EventLoop, FrameReturningFalseDestroysTheWindowAndNoFrameFollows) {
    Loop loop;
    loop.run(1, [&](int) { loop.windows.pending = {WindowEvent::Other}; });
    EXPECT_EQ(loop.frames, 1);
    // The quit posted by the destruction is taken first; the waiting event is left.
    EXPECT_EQ(loop.windows.log, (Log{"frame", "destroy", "quit"}));
}

TEST(EventLoop, CloseRequestTakesTheDestroyedWindowPath) {
    Loop loop;
    loop.run(-1, [&](int frame) {
        if (frame == 2) loop.windows.pending = {WindowEvent::CloseRequest, WindowEvent::CloseRequest};
    });
    EXPECT_EQ(loop.frames, 2);
    EXPECT_TRUE(loop.windows.destroyed);
    EXPECT_EQ(loop.windows.log, (Log{"frame", "frame", "event close", "destroy", "quit"}));
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        captureErrorBoxes();
        setRenderSystemFactory(nullptr);  // graphics start-up fails
    }
    FakeWindowSystem windows;
};

TEST_F(ProgramTest, WindowFailureIsReportedAndEndsWithZero) {
    windows.failCreate = true;
    EXPECT_EQ(runProgram(windows), 0);
    EXPECT_EQ(errorBoxes(), std::vector<std::string>{"Something is terribly wrong, I can't create a window!"});
    EXPECT_EQ(windows.log, (Log{"create Frostel 1024x768 screen"}));
}

TEST_F(ProgramTest, StartUpFailureDestroysTheWindowWithoutRunningTheLoop) {
    windows.pending = {WindowEvent::Other};
    EXPECT_EQ(runProgram(windows), 0);
    ASSERT_EQ(errorBoxes().size(), 1u);  // the graphics device's own message only
    EXPECT_EQ(windows.log, (Log{"create Frostel 1024x768 screen", "show", "destroy"}));
    EXPECT_FALSE(windows.cursorHidden);
    EXPECT_EQ(windows.pending.size(), 1u);
}

}  // namespace
