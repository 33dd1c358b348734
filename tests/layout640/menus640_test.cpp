// The 640x480 build: the same menus moved by (-232, -144), its own pointer range.
#include "flow/flow_fixture.h"

namespace {

constexpr int kDx = -232, kDy = -144;

class Menu640Test : public FlowTest {
protected:
    Menu640Test() { goToMainMenu(); }
    bool clickMenu(int x, int y) { return clickAt(x + kDx, y + kDy); }
};

TEST_F(Menu640Test, PointerStartsNearTheCornerAndStaysOnTheSmallScreen) {
    Game fresh;
    EXPECT_EQ(fresh.flow.pointerX, 20);
    EXPECT_EQ(fresh.flow.pointerY, 20);

    game.mouseSensitivity = 1.0f;
    for (int i = 0; i < 20; ++i) {
        mouse.deltaX = 60;
        mouse.deltaY = 60;
        frame();
    }
    EXPECT_EQ(game.flow.pointerX, 639);
    EXPECT_EQ(game.flow.pointerY, 479);
    for (int i = 0; i < 20; ++i) {
        mouse.deltaX = -60;
        mouse.deltaY = -60;
        frame();
    }
    EXPECT_EQ(game.flow.pointerX, 0);
    EXPECT_EQ(game.flow.pointerY, 0);
}

TEST_F(Menu640Test, MainMenuItemsAnswerAtTheirShiftedPlaces) {
    EXPECT_TRUE(clickAt(500, 315));  // the large build's create item: nothing here
    EXPECT_EQ(game.flow.screen, MainMenu);
    EXPECT_TRUE(clickMenu(428, 315));  // the shifted edge
    EXPECT_EQ(game.flow.screen, MainMenu);
    EXPECT_FALSE(clickMenu(503, 486));  // quit
    goToMainMenu();

    EXPECT_TRUE(clickMenu(429, 302));
    EXPECT_EQ(game.flow.screen, CreateMenu);
    EXPECT_FLOAT_EQ(game.glyphSprites[0].position.x, 484 + kDx);
    EXPECT_FLOAT_EQ(game.glyphSprites[0].position.y, 309 + kDy);
    clickMenu(450, 318);  // port field: the edited digit grows in place
    EXPECT_FLOAT_EQ(game.glyphSprites[0].position.x, 482 + kDx);
    EXPECT_FLOAT_EQ(game.glyphSprites[0].position.y, 307 + kDy);
}

TEST_F(Menu640Test, OptionSlidersUseTheShiftedOrigin) {
    ASSERT_TRUE(clickMenu(500, 420));
    ASSERT_EQ(game.flow.screen, OptionsMenu);
    clickMenu(592, 320);
    EXPECT_EQ(game.musicVolume, 99);
    EXPECT_FLOAT_EQ(game.optionMarkers[0].position.x, 504 + 99 * 0.01f * 67 + kDx);
    EXPECT_FLOAT_EQ(game.optionMarkers[0].position.y, 305 + kDy);
    clickMenu(521, 320);
    EXPECT_EQ(game.musicVolume, 1);
    clickMenu(550, 380);
    EXPECT_FLOAT_EQ(game.optionMarkers[3].position.x, 508 + kDx);
    EXPECT_FLOAT_EQ(game.optionMarkers[3].position.y, 368 + kDy);
}

}  // namespace
