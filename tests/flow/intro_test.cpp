#include "flow/flow_fixture.h"

namespace {

using IntroTest = FlowTest;

TEST_F(IntroTest, GivesWayToTheMainMenuOnceSixSecondsArePast) {
    EXPECT_EQ(game.flow.screen, Intro);
    for (int i = 0; i < 12; ++i) ASSERT_TRUE(frame(0.5f));
    EXPECT_EQ(game.flow.screen, Intro);  // exactly 6.0 is not past
    EXPECT_TRUE(audio->callsStartingWith("streamPlay").empty());

    frame(0.5f);
    EXPECT_EQ(game.flow.screen, MainMenu);
    EXPECT_EQ(game.flow.introTime, 0.0f);
    EXPECT_FALSE(game.menuPictures[0].visible);
    EXPECT_TRUE(game.menuPictures[2].visible);
    for (int i = 10; i < 16; ++i) EXPECT_TRUE(game.menuPictures[i].visible);
    EXPECT_TRUE(game.pointerSprite->visible);
    EXPECT_FLOAT_EQ(game.pointerSprite->position.x, 512);
    EXPECT_EQ(audio->callsStartingWith("streamPlay"), std::vector<std::string>{"streamPlay(77,false,4)"});
}

TEST_F(IntroTest, AButtonHeldAtStartUpDoesNotSkipItButAFreshClickDoes) {
    game.musicOn = 0;
    mouse.leftButton = 1;
    for (int i = 0; i < 20; ++i) frame(0.1f);
    EXPECT_EQ(game.flow.screen, Intro);
    mouse.leftButton = 0;
    frame(0.1f);
    EXPECT_EQ(game.flow.screen, Intro);
    mouse.leftButton = 1;
    frame(0.1f);
    EXPECT_EQ(game.flow.screen, MainMenu);
    EXPECT_TRUE(audio->callsStartingWith("streamPlay").empty());  // no music to start
    // The same press, still held over the practice item, does not also act on the menu.
    frame(0.1f);
    EXPECT_EQ(game.flow.screen, MainMenu);
}

TEST_F(IntroTest, SampleCooldownsStopCountingAtThreeSeconds) {
    game.sampleCooldown[0] = 2.95f;
    game.sampleCooldown[1] = 0.0f;
    frame(0.1f);
    EXPECT_FLOAT_EQ(game.sampleCooldown[0], 3.05f);
    EXPECT_FLOAT_EQ(game.sampleCooldown[1], 0.1f);
    frame(0.1f);
    EXPECT_FLOAT_EQ(game.sampleCooldown[0], 3.05f);
    EXPECT_FLOAT_EQ(game.sampleCooldown[14], 3.0f);
}

}  // namespace
