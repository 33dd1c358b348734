#include <cstring>

#include "flow/flow_fixture.h"
#include "support/test_support.h"

namespace {

constexpr float kCell = 0.09091f;

class MenuTest : public FlowTest {
protected:
    MenuTest() { goToMainMenu(); }

    void openCreateMenu() {
        ASSERT_TRUE(clickAt(500, 315));
        ASSERT_EQ(game.flow.screen, CreateMenu);
    }
    void openJoinMenu() {
        ASSERT_TRUE(clickAt(500, 350));
        ASSERT_EQ(game.flow.screen, JoinMenu);
    }
    void openOptionsMenu() {
        ASSERT_TRUE(clickAt(500, 420));
        ASSERT_EQ(game.flow.screen, OptionsMenu);
    }

    void expectGlyph(int g, float x, float y, float w, float h) {
        EXPECT_FLOAT_EQ(game.glyphSprites[g].position.x, x) << "glyph " << g;
        EXPECT_FLOAT_EQ(game.glyphSprites[g].position.y, y) << "glyph " << g;
        EXPECT_FLOAT_EQ(game.glyphSprites[g].width, w) << "glyph " << g;
        EXPECT_FLOAT_EQ(game.glyphSprites[g].height, h) << "glyph " << g;
    }
    float cellOf(int g) const { return game.glyphSprites[g].cellOffset.u; }
};

TEST_F(MenuTest, ItemEdgesAreStrictAndQuitEndsTheProgram) {
    // The create item spans 428 < x < 597, 301 < y < 329.
    for (auto [x, y] : {std::pair{428, 315}, {597, 315}, {500, 301}, {500, 329}}) {
        EXPECT_TRUE(clickAt(x, y));
        EXPECT_EQ(game.flow.screen, MainMenu) << x << "," << y;
    }
    EXPECT_TRUE(clickAt(504, 470));  // just right of quit
    EXPECT_FALSE(clickAt(503, 486));
    goToMainMenu();
    EXPECT_TRUE(clickAt(429, 302));
    EXPECT_EQ(game.flow.screen, CreateMenu);
    EXPECT_FALSE(game.menuPictures[2].visible);
    EXPECT_TRUE(game.menuPictures[3].visible);
}

TEST_F(MenuTest, AButtonActsOnlyWhenPressedAfterAFrameUp) {
    // Held since before the menu appeared: nothing, however long.
    game.flow.menuButtonWasDown = 1;
    game.flow.pointerX = 500;
    game.flow.pointerY = 315;
    mouse.leftButton = 1;
    for (int i = 0; i < 5; ++i) frame();
    EXPECT_EQ(game.flow.screen, MainMenu);
    mouse.leftButton = 0;
    frame();
    mouse.leftButton = 1;
    frame();
    EXPECT_EQ(game.flow.screen, CreateMenu);

    // Held over the port field: it toggles once, not every frame.
    mouse.leftButton = 0;
    frame();
    game.flow.pointerX = 450;
    game.flow.pointerY = 318;
    mouse.leftButton = 1;
    for (int i = 0; i < 5; ++i) frame();
    EXPECT_EQ(game.portDigitCursor, 0);
}

TEST_F(MenuTest, StartAndConnectRefuseWhileAPortDigitIsEdited) {
    openCreateMenu();
    clickAt(450, 318);  // port field
    ASSERT_EQ(game.portDigitCursor, 0);
    EXPECT_TRUE(clickAt(450, 435));  // start
    EXPECT_EQ(game.flow.screen, CreateMenu);
    EXPECT_EQ(game.flow.sessionOpen, 0);

    clickAt(450, 470);  // back
    ASSERT_EQ(game.flow.screen, MainMenu);
    openJoinMenu();
    clickAt(450, 340);  // port field
    ASSERT_EQ(game.portDigitCursor, 0);
    clickAt(450, 318);  // the address field is refused meanwhile
    EXPECT_EQ(game.addressDigitCursor, -1);
    EXPECT_TRUE(clickAt(450, 440));  // connect
    EXPECT_EQ(game.flow.screen, JoinMenu);
    EXPECT_EQ(game.flow.sessionOpen, 0);
}

TEST_F(MenuTest, PortTypingReplacesDigitsAndEndsAfterTheFourth) {
    openCreateMenu();
    // The field shows the port's digits at rest.
    EXPECT_NEAR(cellOf(0), 6 * kCell, 1e-6);
    EXPECT_NEAR(cellOf(1), 1 * kCell, 1e-6);
    expectGlyph(3, 532, 309, 14, 16);

    clickAt(450, 318);
    expectGlyph(0, 482, 307, 18, 20);
    typeDigit(5);
    EXPECT_EQ(game.port, 5116);
    EXPECT_EQ(game.portDigitCursor, 1);
    expectGlyph(0, 484, 309, 14, 16);
    expectGlyph(1, 498, 307, 18, 20);
    EXPECT_NEAR(cellOf(0), 5 * kCell, 1e-6);

    clickAt(450, 318);  // stop editing, then start over
    EXPECT_EQ(game.portDigitCursor, -1);
    expectGlyph(1, 500, 309, 14, 16);
    clickAt(450, 318);
    for (int d : {9, 8, 7, 6}) typeDigit(d);
    EXPECT_EQ(game.port, 9876);
    EXPECT_EQ(game.portDigitCursor, -1);
    for (int k = 0; k < 4; ++k) expectGlyph(k, 484.0f + 16 * k, 309, 14, 16);
    EXPECT_NEAR(cellOf(3), 6 * kCell, 1e-6);
    typeDigit(1);  // editing has ended
    EXPECT_EQ(game.port, 9876);
}

TEST_F(MenuTest, PortKeysTakenOnlyAfterAFrameWithNoneDown) {
    openJoinMenu();
    clickAt(450, 340);
    expectGlyph(0, 482, 329, 18, 20);
    // Two keys going down together are both taken, in key order.
    hold(digitKey(2));
    hold(digitKey(1));
    frame();
    EXPECT_EQ(game.port, 1216);
    EXPECT_EQ(game.portDigitCursor, 2);
    // Held, and another pressed while it is held: nothing more.
    hold(digitKey(3));
    frame();
    EXPECT_EQ(game.port, 1216);
    release(digitKey(1));
    release(digitKey(2));
    release(digitKey(3));
    frame();
    typeDigit(0);
    EXPECT_EQ(game.port, 1206);
    expectGlyph(3, 530, 329, 18, 20);
}

TEST_F(MenuTest, TwelveAddressDigitsFillTheFieldAndSkipTheDots) {
    openJoinMenu();
    EXPECT_NEAR(cellOf(4 + 3), 10 * kCell, 1e-6);  // the dot
    expectGlyph(4 + 14, 622, 312, 10, 12);
    clickAt(450, 318);
    ASSERT_EQ(game.addressDigitCursor, 0);
    expectGlyph(4, 466, 310, 14, 16);

    for (int d : {1, 9, 2, 1, 6, 8, 0, 0, 4, 2, 5}) typeDigit(d);
    EXPECT_STREQ(game.peerAddress, "192.168.004.251");
    EXPECT_EQ(game.addressDigitCursor, 14);
    expectGlyph(4 + 14, 620, 310, 14, 16);
    // The last character, with a second key in the same frame: the field ends at the first.
    hold(digitKey(3));
    hold(digitKey(7));
    frame();
    EXPECT_STREQ(game.peerAddress, "192.168.004.253");
    EXPECT_EQ(game.addressDigitCursor, -1);
    release(digitKey(3));
    release(digitKey(7));
    frame();
    typeDigit(9);
    EXPECT_STREQ(game.peerAddress, "192.168.004.253");
    EXPECT_NEAR(cellOf(4 + 12), 2 * kCell, 1e-6);
    expectGlyph(4 + 14, 622, 312, 10, 12);

    // The port field is refused while the address is edited.
    clickAt(450, 318);
    clickAt(450, 340);
    EXPECT_EQ(game.portDigitCursor, -1);
}

TEST_F(MenuTest, SlidersReachTheirEndsAndTheToggleFlips) {
    openOptionsMenu();
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(game.optionMarkers[i].visible);

    clickAt(592, 320);
    EXPECT_EQ(game.musicVolume, 99);
    EXPECT_FLOAT_EQ(game.optionMarkers[0].position.x, 504 + 99 * 0.01f * 67);
    EXPECT_FLOAT_EQ(game.optionMarkers[0].position.y, 305);
    clickAt(515, 320);
    EXPECT_EQ(game.musicVolume, 0);
    clickAt(514, 320);  // outside the band: nothing
    clickAt(592, 340);
    EXPECT_EQ(game.effectsVolume, 99);
    EXPECT_EQ(audio->callsStartingWith("setGlobalVolumes").back(), "setGlobalVolumes(0,99,0)");
    EXPECT_EQ(samplePlays(4), 1);  // the preview

    clickAt(515, 360);
    EXPECT_FLOAT_EQ(game.mouseSensitivity, 0.05f);
    clickAt(592, 360);
    EXPECT_NEAR(game.mouseSensitivity, 0.05f + 1.95f * 0.999f, 1e-5);
    EXPECT_NEAR(game.optionMarkers[2].position.x, 504 + game.mouseSensitivity * 0.5f * 67, 1e-4);

    clickAt(550, 380);
    EXPECT_EQ(game.highDetail, 0);
    EXPECT_FLOAT_EQ(game.optionMarkers[3].position.x, 508);
    clickAt(550, 380);
    EXPECT_EQ(game.highDetail, 1);
    EXPECT_FLOAT_EQ(game.optionMarkers[3].position.x, 567);
}

TEST_F(MenuTest, WithoutAudioTheSlidersStayQuiet) {
    game.soundOn = game.musicOn = 0;
    openOptionsMenu();
    clickAt(560, 340);
    EXPECT_EQ(game.effectsVolume, 59);
    EXPECT_TRUE(audio->calls.empty());
}

TEST_F(MenuTest, LeavingOptionsSavesThem) {
    ScratchDir dir;
    openOptionsMenu();
    clickAt(592, 320);
    clickAt(550, 380);
    clickAt(450, 470);
    EXPECT_EQ(game.flow.screen, MainMenu);
    EXPECT_TRUE(game.menuPictures[2].visible);
    EXPECT_FALSE(game.menuPictures[5].visible);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(game.optionMarkers[i].visible);
    const std::string bytes = dir.read("opts.dat");
    ASSERT_EQ(bytes.size(), 40u);
    EXPECT_EQ(bytes[28], 0);   // low detail
    EXPECT_EQ(bytes[36], 99);  // music volume
}

TEST_F(MenuTest, PointerFollowsTheMouseWithinTheScreen) {
    game.mouseSensitivity = 1.0f;  // one count, one pixel
    game.flow.pointerX = 512;
    game.flow.pointerY = 384;
    mouse.deltaX = 7;
    mouse.deltaY = -3;
    frame();
    EXPECT_EQ(game.flow.pointerX, 519);
    EXPECT_EQ(game.flow.pointerY, 381);
    EXPECT_FLOAT_EQ(game.pointerSprite->position.x, 519);
    mouse.deltaX = 500;  // at most 60 a frame
    frame();
    EXPECT_EQ(game.flow.pointerX, 579);
    for (int i = 0; i < 20; ++i) {
        mouse.deltaX = 60;
        mouse.deltaY = 60;
        frame();
    }
    EXPECT_EQ(game.flow.pointerX, 1023);
    EXPECT_EQ(game.flow.pointerY, 767);

    game.mouseSensitivity = 1e30f;  // a damaged options file
    mouse.deltaX = -100000;
    frame();
    EXPECT_EQ(game.flow.pointerX, 963);
}

TEST_F(MenuTest, EscEndsTheProgramFromEveryScreen) {
    hold(key::Escape);
    for (int screen : {Intro, MainMenu, CreateMenu, JoinMenu, OptionsMenu}) {
        game.flow.screen = screen;
        EXPECT_FALSE(frame()) << "screen " << screen;
    }
    release(key::Escape);
    game.flow.screen = MainMenu;
    ASSERT_TRUE(clickAt(500, 385));  // practice
    ASSERT_EQ(game.flow.screen, Match);
    frame();
    hold(key::Escape);
    EXPECT_FALSE(frame());
}

}  // namespace
