// Groove paths, moving a figure to its target, and the pushes a figure gives the puck.
#include <gtest/gtest.h>

#include <cmath>

#include "sim/game.h"

namespace {

void expectPoint(const Point2& p, float x, float z, float tol = 0.001f) {
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.z, z, tol);
}

TEST(GroovePoint, EndsAndFaceOffPlacesOfBothTeams) {
    Game g;
    expectPoint(g.groovePoint(0, 0), -15.0f, -71.0f);
    expectPoint(g.groovePoint(0, 50), 15.0f, -71.0f);
    expectPoint(g.groovePoint(6, 0), 15.0f, 71.0f);
    expectPoint(g.groovePoint(1, 127), 15.0f, 106.0f);
    expectPoint(g.groovePoint(1, 0), -40.0f, 17.0f);
    expectPoint(g.groovePoint(7, 0), 40.0f, -17.0f);

    const int faceOffSlide[6] = {25, 10, 25, 1, 25, 10};
    const float expected[6][2] = {{0, -71},      {-44.724f, 27.236f},  {-28, -79.889f},
                                  {11.867f, -12.189f}, {28, -71.111f}, {46, 3.795f}};
    for (int rod = 0; rod < 6; ++rod) {
        SCOPED_TRACE(rod);
        expectPoint(g.groovePoint(rod, faceOffSlide[rod]), expected[rod][0], expected[rod][1]);
        expectPoint(g.groovePoint(rod + 6, faceOffSlide[rod]), -expected[rod][0], -expected[rod][1]);
    }
}

TEST(GroovePoint, RodOneQuarterCircleAndFarLine) {
    Game g;
    expectPoint(g.groovePoint(1, 64), -45.992f, 90.495f);
    expectPoint(g.groovePoint(1, 70), -44.725f, 96.260f);
    expectPoint(g.groovePoint(1, 80), -38.368f, 103.637f);
    EXPECT_LT(g.groovePoint(1, 88).z, 106.0f);
    for (int s = 89; s <= 127; ++s) EXPECT_EQ(g.groovePoint(1, s).z, 106.0f) << s;
    // On the arc every point is 16 from (-30, 90).
    for (int s = 64; s <= 88; ++s) {
        Point2 p = g.groovePoint(1, s);
        EXPECT_NEAR(Game::distance2d(p.x, p.z, -30.0f, 90.0f), 16.0f, 0.001f) << s;
    }
}

// Every groove is one unbroken path: the segments of rod 1 meet at (-46, 30),
// (-46, 90) and (-30, 106), so neighbouring slides are never far apart.
TEST(GroovePoint, PathsHaveNoGaps) {
    Game g;
    for (int player = 0; player < 12; ++player) {
        const int limit = slideLimit(rodOf(player));
        for (int s = 1; s <= limit; ++s) {
            Point2 a = g.groovePoint(player, s - 1), b = g.groovePoint(player, s);
            EXPECT_LT(Game::distance2d(a.x, a.z, b.x, b.z), 1.3f) << player << " " << s;
        }
    }
    // The joints themselves lie between the neighbouring slides.
    Point2 before = g.groovePoint(1, 12), after = g.groovePoint(1, 13);  // s 9.45 and 10.24
    EXPECT_NEAR(before.x, -45.67f, 0.01f);
    EXPECT_EQ(after.x, -46.0f);
    EXPECT_NEAR(after.z, 30.0f + 0.236f * 1.5f, 0.01f);
}

TEST(GroovePoint, ExtendsBeyondTheSlideRange) {
    Game g;
    expectPoint(g.groovePoint(0, -50), -45.0f, -71.0f);
    expectPoint(g.groovePoint(5, 254), 46.0f, 194.0f, 0.01f);
    // A damaged pose still gives a finite point.
    Point2 p = g.groovePoint(1, 2147483647);
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.z));
}

TEST(PlacePlayerModel, LiveSetGetsPositionAndYaw) {
    Game g;
    g.slide[3] = 1;
    g.angle[3] = 32;
    g.placePlayerModel(3);
    EXPECT_NEAR(g.playerModelsHigh[3].position.x, 11.867f, 0.001f);
    EXPECT_EQ(g.playerModelsHigh[3].position.y, 0.0f);
    EXPECT_NEAR(g.playerModelsHigh[3].rotation.y, 1.5831685f, 1e-6f);
    EXPECT_EQ(g.playerModelsLow[3].position.x, 0.0f);  // the other set keeps its place

    g.highDetail = 0;
    g.angle[3] = 127;
    g.placePlayerModel(3);
    EXPECT_NEAR(g.playerModelsLow[3].rotation.y, 6.2832f, 1e-5f);
}

// A goalie of team 0 slides along z = -71, 0.6 units per step. With the puck on
// the ice at (px, -71) the body touches first, once |fx - px| < 6.05.
class GoalieMove : public ::testing::Test {
protected:
    void SetUp() override {
        g.goalPause = -1.0f;
        for (int i = 0; i < 12; ++i) g.slideDelta[i] = g.angleDelta[i] = 0;
        g.angle[0] = g.targetAngle[0] = 0;
    }
    int move(int from, int to, float puckX) {
        g.puckPos[0] = puckX;
        g.puckPos[1] = -71.0f;
        g.slide[0] = from;
        g.targetSlide[0] = to;
        hit = g.movePlayer(0);
        return g.slide[0];
    }
    Game g;
    bool hit = false;
};

TEST_F(GoalieMove, ReachesTheTargetWithoutContact) {
    EXPECT_EQ(move(10, 20, 200.0f), 20);
    EXPECT_FALSE(hit);
    EXPECT_EQ(g.targetSlide[0], 20);
    EXPECT_NEAR(g.playerModelsHigh[0].position.x, -3.0f, 1e-4f);
    EXPECT_EQ(move(10, 7, 200.0f), 7);
}

TEST_F(GoalieMove, StopsBeforeTheSubStepThatTouches) {
    // 10 -> 20 visits 10, 12, 14, 16, 18, 20; the body first touches at slide 16
    // (x -5.4), sub-step 3, so the figure stays at 14 and that becomes its target.
    EXPECT_EQ(move(10, 20, 0.3f), 14);
    EXPECT_TRUE(hit);
    EXPECT_EQ(g.targetSlide[0], 14);
    EXPECT_NEAR(g.playerModelsHigh[0].position.x, -6.6f, 1e-4f);
    // Without pushes commanded the touch adds nothing.
    EXPECT_EQ(g.puckImpulse[0], 0.0f);
    EXPECT_EQ(g.puckImpulse[1], 0.0f);

    // 10 -> 13 visits 10, 10, 11, 11, 12, 13: a touch from 12 on leaves it at 11,
    // a touch only at 13 leaves it at 12.
    EXPECT_EQ(move(10, 13, -2.0f), 11);
    EXPECT_EQ(move(10, 13, -1.4f), 12);
    // 10 -> 7 truncates toward zero: 10, 10, 9, 9, 8, 7; puck on the other side.
    EXPECT_EQ(move(10, 7, -15.0f + 0.6f * 8 - 6.0f), 9);
}

// A figure touching the puck where it stands pushes and stays, unless its target lies less deep
// in the puck: a puck wedged between it and a wall, or caught over its blade, would otherwise
// hold it for good.
TEST_F(GoalieMove, TouchingWhereItStandsMovesOnlyOutOfThePuckAndDuringAGoalPauseNothingTouches) {
    EXPECT_EQ(move(10, 20, -9.0f), 20);  // out of a puck it stands in, though still touching it
    EXPECT_TRUE(hit);
    EXPECT_EQ(move(10, 20, -13.0f), 20);  // away from a puck beside it
    EXPECT_TRUE(hit);
    EXPECT_EQ(move(10, 0, -13.0f), 10);   // toward it
    EXPECT_EQ(g.puckPos[0], -13.0f);
    g.goalPause = 1.5f;
    EXPECT_EQ(move(10, 20, -9.0f), 20);
    EXPECT_FALSE(hit);
}

TEST_F(GoalieMove, SlidePushFollowsTheGroove) {
    // slideDelta 4: 1.5 * 4 * (0.6, 0), from the body alone.
    g.slideDelta[0] = 4;
    move(10, 14, -4.0f);
    EXPECT_NEAR(g.puckImpulse[0], 3.6f, 1e-4f);
    EXPECT_NEAR(g.puckImpulse[1], 0.0f, 1e-5f);
    // At slide 0 the direction is taken forward: the same push.
    g.puckImpulse[0] = 0.0f;
    move(0, 4, -10.0f);
    EXPECT_NEAR(g.puckImpulse[0], 3.6f, 1e-4f);
}

// A skater at angle 0 turned by 10 steps this frame: its blade flicks the puck by
// eight times the way the touching blade point travels.
TEST(SweepPlayer, BladeFlickAtEitherEnd) {
    Game g;
    for (int i = 0; i < 12; ++i) g.slideDelta[i] = g.angleDelta[i] = 0;
    const int player = 2;  // team 0 rod 2: x = -28
    g.angleDelta[player] = 10;
    const Point2 f = g.groovePoint(player, 45);

    // Just beyond end B (-1.16, -13.0): only B is within reach.
    g.puckPos[0] = f.x - 1.16f;
    g.puckPos[1] = f.z - 15.0f;
    EXPECT_TRUE(g.sweepPlayer(player, 45, 0));
    EXPECT_NEAR(g.puckImpulse[0], -48.27f, 0.05f);
    EXPECT_NEAR(g.puckImpulse[1], 16.88f, 0.05f);

    // Beside start A (-1.16, -5.44), away from the body.
    g.puckImpulse[0] = g.puckImpulse[1] = 0.0f;
    g.puckPos[0] = f.x - 3.66f;
    g.puckPos[1] = f.z - 5.44f;
    EXPECT_TRUE(g.sweepPlayer(player, 45, 0));
    EXPECT_NEAR(g.puckImpulse[0], -19.55f, 0.05f);
    EXPECT_NEAR(g.puckImpulse[1], 9.62f, 0.05f);

    // Out of reach of every part: no touch, no push.
    g.puckImpulse[0] = g.puckImpulse[1] = 0.0f;
    g.puckPos[0] = f.x + 20.0f;
    EXPECT_FALSE(g.sweepPlayer(player, 45, 0));
    EXPECT_EQ(g.puckImpulse[0], 0.0f);
}

TEST(SweepPlayer, OffCentreCircleLimitIsTighterWhileMoving) {
    Game g;
    for (int i = 0; i < 12; ++i) g.slideDelta[i] = g.angleDelta[i] = 0;
    const Point2 f = g.groovePoint(2, 45);
    // Skater circle at (6.26, 3.2): a puck 3.52 away touches in the puck step
    // (below 3.55) but not in the sweep (below 3.5).
    g.puckPos[0] = f.x + 6.26f + 3.52f;
    g.puckPos[1] = f.z + 3.2f;
    EXPECT_FALSE(g.sweepPlayer(2, 45, 0));
    g.puckPos[0] = f.x + 6.26f + 3.48f;
    EXPECT_TRUE(g.sweepPlayer(2, 45, 0));
}

TEST(ResetFaceOff, PuckPlayersScoreAndMarkers) {
    Game g;
    g.puckPos[0] = 5.0f;
    g.puckVel[1] = 3.0f;
    g.puckImpulse[0] = 2.0f;
    g.puckOwner = 2;
    g.goalPause = 1.0f;
    g.score[0] = 4;
    g.slide[4] = 60;
    g.slideDelta[4] = 3;
    g.selectedRod[1] = 9;
    g.resetFaceOff();
    EXPECT_EQ(g.puckPos[0], 0.0f);
    EXPECT_EQ(g.puckVel[1], 0.0f);
    EXPECT_EQ(g.puckImpulse[0], 0.0f);
    EXPECT_EQ(g.puckOwner, 2);
    EXPECT_EQ(g.goalPause, -1.0f);
    EXPECT_EQ(g.score[0], 0);
    const int slides[6] = {25, 10, 25, 1, 25, 10};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(g.slide[i], slides[i % 6]);
        EXPECT_EQ(g.angle[i], i < 6 ? 32 : 96);
        EXPECT_EQ(g.targetSlide[i], g.slide[i]);
        EXPECT_EQ(g.targetAngle[i], g.angle[i]);
        EXPECT_EQ(g.slideDelta[i], 0);
    }
    EXPECT_NEAR(g.playerModelsHigh[7].position.x, 44.724f, 0.001f);
    EXPECT_EQ(g.selectedRod[0], 0);
    EXPECT_EQ(g.selectedRod[1], 6);
    EXPECT_EQ(g.scoreSprites[1].position.x, 39.0f);
    EXPECT_EQ(g.scoreSprites[2].position.y, 24.0f);
}

}  // namespace
