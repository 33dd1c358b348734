// The puck step: friction and speed cap, boards, goal frames, posts, figures, goals, sounds.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/fake/recording_audio.h"
#include "sim/game.h"

namespace {

class PuckStep : public ::testing::Test {
protected:
    void SetUp() override {
        // Figures far off the ice, unless a test puts one back.
        for (int i = 0; i < 12; ++i) {
            g.slide[i] = 100000;
            g.angle[i] = 0;
        }
        g.soundOn = 1;
        for (int i = 0; i < 6; ++i) g.samples[i] = 11 + i;  // sample i plays as handle 11 + i
        for (float& c : g.sampleCooldown) c = 3.0f;
    }
    int step(float x, float z, float vx, float vz, float dt = 0.1f) {
        g.puckPos[0] = x;
        g.puckPos[1] = z;
        g.puckVel[0] = vx;
        g.puckVel[1] = vz;
        return g.stepPuck(dt);
    }
    size_t plays(int sample) const {
        size_t n = 0;
        for (const std::string& c : audio->calls) n += c == "samplePlay(" + std::to_string(11 + sample) + ")";
        return n;
    }
    void expectPuck(float x, float z, float vx, float vz, float tol = 0.001f) {
        EXPECT_NEAR(g.puckPos[0], x, tol);
        EXPECT_NEAR(g.puckPos[1], z, tol);
        EXPECT_NEAR(g.puckVel[0], vx, tol);
        EXPECT_NEAR(g.puckVel[1], vz, tol);
    }
    ScopedRecordingAudio audio;
    Game g;
};

TEST_F(PuckStep, RestingPuckStaysSilent) {
    EXPECT_EQ(step(0, 0, 0, 0), 0);
    expectPuck(0, 0, 0, 0, 0.0f);
    EXPECT_TRUE(audio->calls.empty());
    EXPECT_EQ(g.puckModel->position.x, 0.0f);
}

TEST_F(PuckStep, ImpulseSpeedCapAndFriction) {
    step(0, 0, 100, 0);
    expectPuck(8.8014f, 0, 88.014f, 0);
    // The impulse is added first and left for the caller to clear.
    g.puckImpulse[0] = 0.0f;
    g.puckImpulse[1] = 10.0f;
    step(0, 0, 0, 0, 1.0f);
    expectPuck(0, 8.0f, 0, 8.0f);
    EXPECT_EQ(g.puckImpulse[1], 10.0f);
    EXPECT_NEAR(g.puckModel->position.z, 8.0f, 1e-5f);
}

TEST_F(PuckStep, SideAndEndBoards) {
    step(56, 0, 20, 0);
    expectPuck(56.549f, 0, -10.5617f, 0);
    EXPECT_EQ(plays(1), 1u);
    step(-56, 10, -20, 10);
    EXPECT_NEAR(g.puckPos[0], -56.549f, 1e-4f);
    EXPECT_NEAR(g.puckVel[1], 0.54f * 9.7793f, 1e-3f);
    step(0, -116, 0, -20);
    expectPuck(0, -116.549f, 0, 10.5617f);
    // z = 90 exactly is no longer the side zone: the corner arc acts, not the side board.
    step(57, 90, 0, 0);
    EXPECT_NEAR(g.puckPos[0], 56.54f, 1e-4f);
}

TEST_F(PuckStep, CornerArcReflectsHeadOn) {
    // The move ends at (-50, 110) with velocity (-10, 10) after friction.
    const double f = std::pow(0.8, 0.1);
    step(-49.0f, 109.0f, static_cast<float>(-10 / f), static_cast<float>(10 / f));
    expectPuck(-48.767f, 108.767f, 5.4f, -5.4f);
    EXPECT_EQ(plays(1), 1u);
}

TEST_F(PuckStep, GoalScoredOnceAndSunkNoDeeperThanTheLimit) {
    EXPECT_EQ(step(0, 85, 0, 40), 1);
    EXPECT_NEAR(g.puckPos[1], 88.9117f, 1e-3f);
    EXPECT_EQ(g.puckModel->position.y, -1.5f);
    EXPECT_EQ(step(0, 85, 0, 80), 1);
    EXPECT_EQ(g.puckPos[1], 89.55f);
    EXPECT_EQ(g.puckModel->position.z, 89.55f);
    // Already beyond the line before the step: no second goal.
    EXPECT_EQ(step(0, 87, 0, 10), 0);
    EXPECT_EQ(g.puckModel->position.y, 0.0f);
    EXPECT_EQ(step(-5, -85, 0, -80), 2);
    EXPECT_EQ(g.puckPos[1], -89.55f);
}

TEST_F(PuckStep, MouthIsOpenOnlyStrictlyBetweenThePosts) {
    EXPECT_EQ(step(15, 85, 0, 40), 0);
    expectPuck(15, 88.9117f, 0, 39.1172f);  // between the posts' reach, nothing touched
    EXPECT_EQ(step(14.99f, 85, 0, 40), 1);
}

TEST_F(PuckStep, GoalBackWallOnlyBehindTheMouth) {
    step(0, 100, 0, -40);
    expectPuck(0, 96.451f, 0, 21.1233f);
    step(0, -100, 0, 40);
    expectPuck(0, -96.451f, 0, -21.1233f);
    // Beside the goal the back wall does not act.
    step(20, 100, 0, -40);
    EXPECT_NEAR(g.puckPos[1], 96.0883f, 1e-3f);
    // Just outside the mouth only the post at (15, 93) acts.
    step(16, 100, 0, -40);
    EXPECT_NEAR(Game::distance2d(g.puckPos[0], g.puckPos[1], 15, 93), 3.451f, 1e-4f);
    EXPECT_LT(g.puckPos[1], 96.4f);
    EXPECT_GT(g.puckVel[1], 0.0f);
}

TEST_F(PuckStep, GoalSideWallsFromOutsideAndInside) {
    step(-20, 88, 30, 0);  // crosses -18.45 from outside
    expectPuck(-18.45f, 88, -0.54f * 29.3379f, 0);
    step(-10, 88, -30, 0);  // crosses -11.55 from inside
    expectPuck(-11.55f, 88, 0.54f * 29.3379f, 0);
    step(20, -88, -30, 0);
    EXPECT_EQ(g.puckPos[0], 18.45f);
    step(10, -88, 30, 0);
    EXPECT_EQ(g.puckPos[0], 11.55f);
    EXPECT_EQ(plays(1), 1u);  // the rate limit holds within one moment
}

// Only a goal takes the puck into the frame: one gliding along the back that slips past the
// post's corner, or one that a post pushes out into a side wall, is sent back as from a wall.
TEST_F(PuckStep, GoalFrameKeepsOutAPuckThatComesRoundIt) {
    const float keep = 0.54f * 20.0f * static_cast<float>(std::pow(0.8, 0.1));
    EXPECT_EQ(step(-16, -96.4f, 20, 0), 0);  // along the back, into its corner
    expectPuck(-16, -96.4f, -keep, 0);
    EXPECT_EQ(step(14, 96.4f, 20, 0), 0);  // round the other goal's corner, out of it
    expectPuck(15.96f, 96.4f, 19.56f, 0, 0.01f);
    EXPECT_EQ(step(-15.2f, -94, 7, 12), 0);  // up past a post, pushed out into the side wall
    const float back = -0.54f * static_cast<float>(std::pow(0.8, 0.1));
    expectPuck(-15.2f, -94, back * 7, back * 12);
    EXPECT_EQ(plays(1), 1u);
}

TEST_F(PuckStep, PostsReflectAndPushOut) {
    step(15, 78, 0, 40);  // ends 1.09 in front of the post (15, 83)
    expectPuck(15, 79.549f, 0, -0.54f * 39.1172f);
    // Resting on a post: pushed to 3.451 from it, still at rest.
    step(-15, -83, 0, 0);
    expectPuck(-18.451f, -83, 0, 0);
}

TEST_F(PuckStep, FigureBodyBouncesAndTheApproachTestTurnsThePuckAway) {
    g.slide[2] = 45;  // team 0 rod 2 at (-28, -59), blade and circle away from its -x side
    const float fx = -28.0f, fz = -59.0f;
    // Moving into the figure: reflected away, kept.
    step(fx - 8.0f, fz, 40, 0);
    expectPuck(fx - 6.051f, fz, -0.54f * 39.1172f, 0);
    EXPECT_EQ(plays(2), 1u);
    // Already moving away while touching: the reflection would send it back in, so it is reversed.
    g.sampleCooldown[2] = 3.0f;
    step(fx - 3.0f, fz, -20, 0);
    expectPuck(fx - 6.051f, fz, -0.54f * 19.5587f, 0);
    EXPECT_EQ(plays(2), 2u);
}

TEST_F(PuckStep, BladeAndOffCentreCircle) {
    g.slide[2] = 45;
    const float fx = -28.0f, fz = -59.0f;
    // Off-centre circle of a skater at (6.26, 3.2), radius 0.1: contact below 3.55.
    step(fx + 6.26f + 3.52f, fz + 3.2f, 0, 0, 0.0f);
    EXPECT_NEAR(Game::distance2d(g.puckPos[0], g.puckPos[1], fx + 6.26f, fz + 3.2f), 3.551f, 1e-4f);
    EXPECT_EQ(plays(2), 1u);
    // Blade end B at (-1.16, -13): the puck is put 3.451 from the touching point.
    step(fx - 1.16f, fz - 15.0f, 0, 0, 0.0f);
    EXPECT_NEAR(Game::distance2d(g.puckPos[0], g.puckPos[1], fx - 1.16f, fz - 13.0f), 3.451f, 1e-4f);
    EXPECT_EQ(plays(0), 1u);
}

TEST_F(PuckStep, BoardSoundIsRateLimited) {
    auto frameApart = [&](float dt) {
        for (float& c : g.sampleCooldown)
            if (c < 3.0f) c += dt;
    };
    step(56, 0, 20, 0);
    frameApart(0.1f);
    step(56, 0, 20, 0);
    EXPECT_EQ(plays(1), 1u);

    audio->calls.clear();
    for (float& c : g.sampleCooldown) c = 3.0f;
    step(56, 0, 20, 0);
    frameApart(0.25f);
    step(56, 0, 20, 0);
    EXPECT_EQ(plays(1), 2u);
    // A silent game plays nothing and keeps the cooldown running.
    g.soundOn = 0;
    frameApart(0.25f);
    step(56, 0, 20, 0);
    EXPECT_EQ(plays(1), 2u);
    EXPECT_NEAR(g.sampleCooldown[1], 0.25f, 1e-6f);
}

TEST(Angles, AngleToAndWrap) {
    EXPECT_EQ(Game::angleTo(0, 0, 0, 0), 0.0f);
    EXPECT_EQ(Game::angleTo(0, 0, 0, 5), 1.5707963f);
    EXPECT_EQ(Game::angleTo(0, 0, 0, -5), 4.712389f);
    EXPECT_NEAR(Game::angleTo(0, 0, -1, 1), 2.3561945f, 1e-6f);
    EXPECT_NEAR(Game::angleTo(0, 0, 1, -1), 5.4977871f, 1e-6f);
    EXPECT_NEAR(Game::angleTo(0, 0, -1, -1), 3.9269908f, 1e-6f);
    EXPECT_NEAR(Game::wrapAngle(-1.0f), 5.2831855f, 1e-6f);
    EXPECT_NEAR(Game::wrapAngle(13.0f), 13.0f - 2 * 6.2831855f, 1e-5f);
    EXPECT_EQ(Game::wrapAngle(6.28319f), 6.28319f);
    // Wild input ends: no endless loop.
    EXPECT_TRUE(std::isnan(Game::wrapAngle(NAN)));
    EXPECT_FALSE(std::isfinite(Game::wrapAngle(INFINITY)));
    float big = Game::wrapAngle(3.0e9f);
    EXPECT_GE(big, 0.0f);
    EXPECT_LE(big, 6.28319f);
}

TEST_F(PuckStep, NonFiniteVelocityEndsTheStep) {
    EXPECT_EQ(step(0, 0, NAN, 0), 0);
    EXPECT_EQ(step(0, 0, INFINITY, -INFINITY), 0);
}

}  // namespace
