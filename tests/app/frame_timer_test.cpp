#include <gtest/gtest.h>

#include "app/frame_timer.h"
#include "platform/fake/fake_clock.h"

namespace {

struct CounterTimer {
    FakeClock clock;
    FrameTimer timer{clock};
    explicit CounterTimer(int64_t frequency) {
        clock.frequency = frequency;
        clock.count = 1000;
        timer.init();
    }
    float stepBy(int64_t counts, float maxStep = 0.1f) {
        clock.count += counts;
        return timer.tick(maxStep);
    }
};

TEST(FrameTimer, CutsOnlyStepsAboveTheLimit) {
    CounterTimer t(1000000);
    EXPECT_TRUE(t.timer.usesPerformanceCounter);
    EXPECT_EQ(t.stepBy(250000), 0.1f);   // 0.25 s
    EXPECT_EQ(t.stepBy(100000), 0.1f);   // exactly the limit passes
    EXPECT_NEAR(t.stepBy(16667), 0.016667f, 1e-6f);
    EXPECT_EQ(t.stepBy(0), 0.0f);        // two readings in the same unit
    EXPECT_FLOAT_EQ(t.stepBy(-500000), -0.5f);  // only the upper bound applies
    EXPECT_EQ(t.stepBy(5000000, 0.25f), 0.25f);
}

TEST(FrameTimer, FirstTickAfterALongLoadIsExactlyTheLimit) {
    for (int64_t frequency : {int64_t{1000}, int64_t{3579545}, int64_t{1000000000}}) {
        CounterTimer t(frequency);
        t.clock.count += frequency * 7;  // seven seconds of asset loading
        float dt = t.timer.tick(0.1f);
        EXPECT_EQ(dt, 0.1f) << frequency;
    }
}

TEST(FrameTimer, MillisecondFallbackStepsInWholeMilliseconds) {
    FakeClock clock;
    clock.frequency = 0;  // no high-resolution counter
    clock.ms = 4000;
    FrameTimer timer(clock);
    timer.init();
    EXPECT_FALSE(timer.usesPerformanceCounter);
    EXPECT_EQ(timer.secondsPerCount, 0.001f);

    for (uint32_t ms : {0u, 1u, 16u, 17u, 33u, 99u, 100u}) {
        clock.count += 123456;  // the counter is not read in this mode
        clock.ms += ms;
        EXPECT_EQ(timer.tick(0.1f), static_cast<float>(ms * static_cast<double>(0.001f))) << ms;
    }
    clock.ms += 101;
    EXPECT_EQ(timer.tick(0.1f), 0.1f);
}

TEST(FrameTimer, MillisecondWrapGivesTheElapsedTime) {
    FakeClock clock;
    clock.ms = 0xFFFFFFF0u;
    FrameTimer timer(clock);
    timer.init();
    clock.ms = 0x10u;  // 32 ms later, past the wrap
    EXPECT_FLOAT_EQ(timer.tick(0.1f), 0.032f);
    clock.ms += 20;
    EXPECT_FLOAT_EQ(timer.tick(0.1f), 0.020f);
}

}  // namespace
