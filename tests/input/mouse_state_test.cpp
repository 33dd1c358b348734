#include <gtest/gtest.h>

#include "input/mouse_state.h"

namespace {

TEST(MouseState, ClampsThePositionButKeepsTheRawDelta) {
    MouseState m;
    m.moveX(5000);
    EXPECT_EQ(m.x, 1023);
    EXPECT_EQ(m.deltaX, 5000);
    m.moveY(-300);
    EXPECT_EQ(m.y, 0);
    EXPECT_EQ(m.deltaY, -300);
    m.moveY(900);
    EXPECT_EQ(m.y, 767);
    m.moveX(-2000);
    EXPECT_EQ(m.x, 0);
    EXPECT_EQ(m.deltaX, -2000);
}

TEST(MouseState, StillPollSetsBothDeltasToZero) {
    MouseState m;
    m.moveX(12);
    m.moveY(-7);
    m.moveX(0);
    m.moveY(0);
    EXPECT_EQ(m.deltaX, 0);
    EXPECT_EQ(m.deltaY, 0);
    EXPECT_EQ(m.x, 12);
    EXPECT_EQ(m.y, 0);
}

}  // namespace
