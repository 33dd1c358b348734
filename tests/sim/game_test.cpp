// A freshly constructed world, before anything is loaded.
#include <gtest/gtest.h>

#include "sim/game.h"

namespace {

TEST(GameWorld, StartingValues) {
    Game g;
    EXPECT_EQ(g.goalPause, -1.0f);
    EXPECT_EQ(g.score[0], 0);
    EXPECT_EQ(g.score[1], 0);
    EXPECT_EQ(g.puckPos[0], 0.0f);
    EXPECT_EQ(g.puckVel[1], 0.0f);
    EXPECT_EQ(g.puckImpulse[0], 0.0f);
    EXPECT_EQ(g.puckOwner, 0);
    EXPECT_EQ(g.port, 6116);
    EXPECT_STREQ(g.peerAddress, "127.000.000.001");
    EXPECT_EQ(g.effectsVolume, 50);
    EXPECT_EQ(g.musicVolume, 50);
    EXPECT_EQ(g.mouseSensitivity, 0.3f);
    EXPECT_TRUE(g.highDetail);
    EXPECT_FALSE(g.soundOn);
    EXPECT_FALSE(g.musicOn);
    EXPECT_TRUE(g.puckModel->visible);
    EXPECT_EQ(g.liveModels(), g.playerModelsHigh);
}

}  // namespace
