#include "ai/computer_player.h"
#include "flow/flow_fixture.h"
#include "graphics/scene.h"
#include "support/test_support.h"

namespace {

class PracticeTest : public FlowTest {
protected:
    void startPractice() {
        goToMainMenu();
        ASSERT_TRUE(clickAt(500, 385));
        ASSERT_EQ(game.flow.screen, Match);
        audio->calls.clear();
    }
    const Vec3& eye() { return game.scene->camera().eye; }
};

TEST_F(PracticeTest, EnteringShowsTheRinkAndF10LeavesOnTheSameFrame) {
    game.highDetail = 0;
    game.score[0] = 4;
    startPractice();
    EXPECT_EQ(game.flow.matchMode, Practice);
    EXPECT_EQ(game.puckOwner, 1);
    EXPECT_EQ(game.score[0], 0);
    for (int i = 0; i < 12; ++i) {
        EXPECT_TRUE(game.playerModelsLow[i].visible);
        EXPECT_FALSE(game.playerModelsHigh[i].visible);
    }
    EXPECT_TRUE(game.rinkModel->visible && game.goalModels[0].visible && game.goalModels[1].visible);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(game.scoreSprites[i].visible);
    for (int i = 10; i < 16; ++i) EXPECT_FALSE(game.menuPictures[i].visible);
    EXPECT_FALSE(game.menuPictures[2].visible);
    EXPECT_FALSE(game.menuPictures[6].visible);  // no connection in practice
    EXPECT_FALSE(game.pointerSprite->visible);
    EXPECT_FLOAT_EQ(game.scene->environment().clearColour.b, 0.4f);

    frame();
    hold(key::F10);
    EXPECT_TRUE(frame());
    EXPECT_EQ(game.flow.screen, MainMenu);
    for (int i = 0; i < 12; ++i) EXPECT_FALSE(game.playerModelsLow[i].visible);
    EXPECT_FALSE(game.rinkModel->visible);
    EXPECT_TRUE(game.puckModel->visible);  // the puck stays, as after loading
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(game.scoreSprites[i].visible);
    EXPECT_TRUE(game.menuPictures[2].visible && game.pointerSprite->visible);
    EXPECT_FLOAT_EQ(game.scene->environment().clearColour.b, 0.0f);
    release(key::F10);
}

TEST_F(PracticeTest, MouseMovesTheSelectedFigureAtMostTenStepsAFrame) {
    startPractice();
    game.mouseSensitivity = 1.0f;
    hold(digitKey(3));  // rod 2, slides 0..90
    mouse.deltaY = -1000;
    frame();
    EXPECT_EQ(game.selectedRod[0], 2);
    EXPECT_EQ(game.slide[2], 35);
    mouse.deltaX = 4;
    frame();
    EXPECT_EQ(game.angle[2], 28);
    EXPECT_EQ(game.angleDelta[2], -4);

    game.slide[2] = 85;
    game.targetSlide[2] = 85;
    mouse.deltaY = -30;
    game.steerSelectedPlayer(0, 0.02f);
    EXPECT_EQ(game.targetSlide[2], 90);
    EXPECT_EQ(game.slideDelta[2], 10);  // the commanded step, before the clamp

    // Keys 1..6 pick the figure; with several down the highest wins.
    hold(digitKey(1));
    hold(digitKey(5));
    mouse.deltaX = -1000;
    game.steerSelectedPlayer(0, 0.02f);
    EXPECT_EQ(game.selectedRod[0], 4);
    release(digitKey(1));
    release(digitKey(3));
    release(digitKey(5));

    // Team 1's goalie: the x movement slides it.
    game.selectedRod[1] = 6;
    game.slide[6] = 45;
    mouse.deltaX = 200;
    game.steerSelectedPlayer(1, 0.02f);
    EXPECT_EQ(game.targetSlide[6], 50);
    EXPECT_EQ(game.slideDelta[6], 10);

    // Sensitivity 0.05: 19 counts are 0.95 of a step, which is none.
    game.mouseSensitivity = 0.05f;
    mouse.deltaX = 19;
    mouse.deltaY = -19;
    const int slide = game.slide[4], angle = game.angle[4];
    frame();
    EXPECT_EQ(game.slide[4], slide);
    EXPECT_EQ(game.angle[4], angle);
}

TEST_F(PracticeTest, GoalieKeysWalkWholeStepsAndCarryTheRest) {
    startPractice();
    hold(digitKey(2));  // a skater is steered; the goalie walks by keys alone
    hold(key::Q);
    game.targetSlide[0] = 25;
    game.steerSelectedPlayer(0, 0.1f);
    EXPECT_EQ(game.targetSlide[0], 21);
    EXPECT_FLOAT_EQ(game.flow.goalieStep[0], -1.0f);
    game.targetSlide[0] = 2;
    game.steerSelectedPlayer(0, 0.1f);
    EXPECT_EQ(game.targetSlide[0], 0);
    release(key::Q);

    hold(key::W);
    game.flow.goalieStep[0] = 0;
    game.targetSlide[0] = 48;
    game.steerSelectedPlayer(0, 0.1f);
    EXPECT_EQ(game.targetSlide[0], 50);
    release(key::W);
}

TEST_F(PracticeTest, JoiningMachineHoldsItsSkatersWhileWalkingTheGoalie) {
    game.flow.matchMode = Join;
    game.mouseSensitivity = 1.0f;
    game.selectedRod[1] = 8;
    game.targetSlide[8] = game.slide[8];
    game.targetSlide[6] = game.slide[6];
    hold(key::W);
    mouse.deltaY = 5;
    game.steerSelectedPlayer(1, 0.1f);
    EXPECT_EQ(game.targetSlide[8], game.slide[8]);
    EXPECT_EQ(game.slideDelta[8], 0);
    EXPECT_EQ(game.targetSlide[6], game.slide[6] + 4);
    // The creating machine steers them whatever W does.
    game.flow.matchMode = Create;
    game.selectedRod[0] = 2;
    game.steerSelectedPlayer(0, 0.1f);
    EXPECT_EQ(game.slideDelta[2], -5);
}

TEST_F(PracticeTest, AGoalMovesTheMarkerAndThePauseAllowsNoSecond) {
    startPractice();
    game.puckPos[0] = 0;
    game.puckPos[1] = 84;
    game.puckVel[1] = 40;
    frame(0.1f);
    EXPECT_EQ(game.score[0], 1);
    EXPECT_FLOAT_EQ(game.goalPause, 1.5f);
    EXPECT_FLOAT_EQ(game.scoreSprites[1].position.x, 57);
    EXPECT_EQ(audio->calls, (std::vector<std::string>{"samplePlay(103)", "samplePlay(104)"}));

    // The puck is not stepped during the pause, even pushed back over the line.
    game.puckPos[1] = 80;
    game.puckVel[1] = 60;
    for (int i = 0; i < 14; ++i) frame(0.1f);
    EXPECT_EQ(game.score[0], 1);
    EXPECT_FLOAT_EQ(game.puckPos[1], 80);
    frame(0.1f);
    EXPECT_FLOAT_EQ(game.goalPause, -1.0f);
    EXPECT_EQ(game.flow.lastGoalSide, 0);
    EXPECT_EQ(game.puckPos[0], 0.0f);
    EXPECT_EQ(game.puckPos[1], 0.0f);
    EXPECT_EQ(game.puckVel[1], 0.0f);
}

TEST_F(PracticeTest, TheTenthGoalPlaysTheFinalFanfareAndEndsTheMatch) {
    startPractice();
    game.score[0] = 9;
    game.scoreSprites[1].setPosition(39 + 18 * 9, 0, 0);
    game.puckPos[1] = 84;
    game.puckVel[1] = 40;
    frame(0.5f);
    EXPECT_EQ(game.score[0], 10);
    EXPECT_EQ(audio->calls, (std::vector<std::string>{"samplePlay(103)", "samplePlay(105)"}));
    EXPECT_FLOAT_EQ(game.goalPause, 8.5f);
    EXPECT_FLOAT_EQ(game.flow.matchEndCountdown, 3.0f);  // 3.5, counting from this frame
    EXPECT_FLOAT_EQ(game.scoreSprites[1].position.x, 39 + 18 * 9);  // 10 leaves the marker

    for (int i = 0; i < 5; ++i) frame(0.5f);
    EXPECT_EQ(game.flow.screen, Match);
    frame(0.5f);
    EXPECT_EQ(game.flow.screen, MainMenu);

    game.soundOn = 0;
    audio->calls.clear();
    game.scoreGoal(2);
    EXPECT_TRUE(audio->calls.empty());
}

TEST_F(PracticeTest, SpaceSwitchesSidesOncePerSwingAndTheCameraSwings) {
    startPractice();
    frame(0.1f);
    EXPECT_FLOAT_EQ(eye().z, -160);  // team 0's end, puck at the centre
    EXPECT_FLOAT_EQ(eye().y, 110);

    hold(key::Space);
    frame(0.1f);
    EXPECT_EQ(game.puckOwner, 2);
    for (int i = 0; i < 4; ++i) frame(0.1f);
    EXPECT_EQ(game.puckOwner, 2);  // Space is ignored while the swing runs
    EXPECT_NEAR(game.flow.sideSwitchTimer, 0.401f, 1e-4);
    frame(0.1f);  // t = 0.501: half way, bulging sideways
    EXPECT_NEAR(eye().x, 80, 0.1);
    EXPECT_NEAR(eye().z, 0.0f, 0.5f);
    EXPECT_NEAR(game.mainLight->params.position.z, 0.1f, 0.01f);
    for (int i = 0; i < 5; ++i) frame(0.1f);
    EXPECT_LT(game.flow.sideSwitchTimer, 0.0f);
    EXPECT_EQ(game.puckOwner, 2);
    EXPECT_FLOAT_EQ(eye().z, 160);  // team 1's end
    // The light at the swing's end, though the last frame stepped t only to 0.901.
    EXPECT_FLOAT_EQ(game.mainLight->params.position.z, 50.0f);
    frame(0.1f);
    EXPECT_EQ(game.puckOwner, 1);  // held Space: the next switch after the swing
    EXPECT_NEAR(game.flow.sideSwitchTimer, 0.999f, 1e-6);
    release(key::Space);
}

TEST_F(PracticeTest, PracticeSteersTheTeamOfThePuckOwner) {
    startPractice();
    game.puckOwner = 2;
    game.flow.sideSwitchTimer = -1.0f;
    game.mouseSensitivity = 1.0f;
    const int team0Slide = game.slide[2];
    hold(digitKey(3));
    mouse.deltaY = -5;
    frame();
    EXPECT_EQ(game.selectedRod[1], 8);
    EXPECT_EQ(game.slide[8], 30);
    EXPECT_EQ(game.slide[2], team0Slide);
}

TEST_F(PracticeTest, CHandsTheOtherTeamToTheComputerAndCyclesItsLevel) {
    startPractice();
    frame();
    EXPECT_TRUE(game.computers[0] == nullptr && game.computers[1] == nullptr);  // off: practice as ever
    const ComputerLevel cycle[4] = {ComputerLevel::Easy, ComputerLevel::Normal, ComputerLevel::Hard,
                                    ComputerLevel::Off};
    for (ComputerLevel want : cycle) {
        hold(key::C);
        frame();
        frame();  // held: one step only
        release(key::C);
        frame();
        ComputerPlayer* c = game.computers[1];
        EXPECT_EQ(c ? c->level() : ComputerLevel::Off, want);
        EXPECT_TRUE(!c || c->team() == 1);
        EXPECT_EQ(game.computers[0], nullptr);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(game.computerBadges[i].visible, static_cast<int>(want) == i + 1) << i;
    }

    // Hard: the computer moves team 1 while the light stays on the player's figure.
    for (int i = 0; i < 3; ++i) {
        hold(key::C);
        frame();
        release(key::C);
        frame();
    }
    int moved = 0;
    for (int k = 0; k < 120; ++k) {
        frame(1.0f / 60.0f);
        for (int i = 6; i < 12; ++i) moved += game.slide[i] != (i == 6 || i == 8 || i == 10 ? 25 : i == 9 ? 1 : 10);
        const Point2 at = game.groovePoint(game.selectedRod[0], game.slide[game.selectedRod[0]]);
        ASSERT_FLOAT_EQ(game.selectionLight->params.position.x, at.x);
        ASSERT_FLOAT_EQ(game.selectionLight->params.position.z, at.z);
    }
    EXPECT_GT(moved, 0);
    EXPECT_EQ(game.selectedRod[1], 6);  // the computer keeps its own selection

    // Space: the player takes team 1, the computer team 0 at the same level.
    hold(key::Space);
    frame();
    release(key::Space);
    frame();
    ASSERT_NE(game.computers[0], nullptr);
    EXPECT_EQ(game.computers[0]->level(), ComputerLevel::Hard);
    EXPECT_EQ(game.computers[1], nullptr);
    EXPECT_TRUE(game.computerBadges[2].visible);

    // Leaving takes the computer away; the next practice brings it back as last chosen, and a
    // C held from before does not step it on.
    hold(key::F10);
    frame();
    release(key::F10);
    EXPECT_TRUE(game.computers[0] == nullptr && game.computers[1] == nullptr && !game.computerBadges[2].visible);
    hold(key::C);
    frame();
    startPractice();
    frame();
    release(key::C);
    frame();
    ASSERT_NE(game.computers[1], nullptr);
    EXPECT_EQ(game.computers[1]->level(), ComputerLevel::Hard);
}

class NetworkEntryTest : public FlowTest {
protected:
    NetworkEntryTest() {
        goToMainMenu();
        // A free port: ask the system for one, then let it go.
        UdpLink probe;
        if (probe.openServer(0)) freePort = probe.boundPort();
        probe.close();
    }
    int freePort = 0;
    ScratchDir dir;
};

TEST_F(NetworkEntryTest, CreatingOpensTheLinkAndLeavingClosesIt) {
    ASSERT_GT(freePort, 0);
    game.port = freePort;
    clickAt(500, 315);
    EXPECT_TRUE(clickAt(450, 435));
    EXPECT_EQ(game.flow.screen, Match);
    EXPECT_EQ(game.flow.matchMode, Create);
    EXPECT_EQ(game.flow.sessionOpen, 1);
    EXPECT_EQ(game.puckOwner, 2);
    EXPECT_TRUE(game.menuPictures[6].visible);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(game.glyphSprites[i].visible);
    EXPECT_EQ(dir.read("opts.dat").size(), 40u);  // saved before the link opens

    UdpLink other;
    EXPECT_FALSE(other.openServer(freePort));  // the game holds it
    frame();
    hold(key::F10);
    frame();
    release(key::F10);
    EXPECT_EQ(game.flow.screen, MainMenu);
    EXPECT_EQ(game.flow.sessionOpen, 0);
    EXPECT_FALSE(game.menuPictures[6].visible);
    EXPECT_TRUE(other.openServer(freePort));
}

TEST_F(NetworkEntryTest, APortThatCannotBeOpenedEndsTheProgram) {
    ASSERT_GT(freePort, 0);
    UdpLink holder;
    ASSERT_TRUE(holder.openServer(freePort));
    game.port = freePort;
    clickAt(500, 315);
    EXPECT_FALSE(clickAt(450, 435));
    EXPECT_EQ(game.flow.sessionOpen, 0);
}

TEST_F(NetworkEntryTest, JoiningConnectsWithTheAddressAsTypedSoFar) {
    game.port = freePort > 0 ? freePort : 6116;
    clickAt(500, 350);
    clickAt(450, 318);  // the address field: being edited does not stop connect
    ASSERT_EQ(game.addressDigitCursor, 0);
    EXPECT_TRUE(clickAt(450, 440));
    EXPECT_EQ(game.flow.screen, Match);
    EXPECT_EQ(game.flow.matchMode, Join);
    EXPECT_FLOAT_EQ(game.mainLight->params.position.z, 50);
    for (int i = 0; i < 19; ++i) EXPECT_FALSE(game.glyphSprites[i].visible);
    hold(key::Escape);
    EXPECT_FALSE(frame());
}

}  // namespace
