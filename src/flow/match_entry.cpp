// Entering a match from the menus and leaving it back to the main menu.
#include "flow/screen_parts.h"
#include "graphics/scene.h"
#include "platform/udp_link.h"
#include "sim/game.h"

namespace {

using namespace flow;

// What differs between the three ways into a match.
struct Entry {
    bool network;
    int picture;      // the menu picture left behind
    int glyphsShown;  // glyph sprites 0..n-1 shown on that menu
    float lightX, lightZ;
};

Entry entryFor(int mode) {
    switch (mode) {
        case Create:
            return {true, kCreatePicture, kPortGlyphs, -10.0f, -50.0f};
        case Join:
            return {true, kJoinPicture, kPortGlyphs + kAddressLength, 10.0f, 50.0f};
        default:
            return {false, kMainPicture, 0, -10.0f, -50.0f};
    }
}

void showMatchModels(Game& g, bool visible) {
    ModelInstance* figures = g.liveModels();
    for (int i = 0; i < 12; ++i) figures[i].visible = visible;
    g.rinkModel->visible = visible;
    g.goalModels[0].visible = visible;
    g.goalModels[1].visible = visible;
}

}  // namespace

bool Game::enterMatch(int mode) {
    if (mode != Create && mode != Join) mode = Practice;
    const Entry e = entryFor(mode);

    if (e.network) {
        saveOptions();
        if (!link) link = &UdpLink::instance();
        const bool opened = mode == Create ? link->openServer(port) : link->openClient(port, peerAddress);
        if (!opened) return false;
        flow.sessionOpen = 1;
    }
    mainLight->setPosition(e.lightX, 120.0f, e.lightZ);
    flow.matchMode = mode;
    // The joining machine runs the puck from the first face-off of a network match.
    puckOwner = e.network ? 2 : 1;
    if (mode == Practice) {
        flow.sideSwitchTimer = -1.0f;
        flow.practiceButtonWasDown = 1;
        flow.computerKeyWasDown = 1;  // the computer comes back at the level last chosen
    }

    flow.lastGoalSide = 0;
    flow.peerEchoesScore = flow.peerHasFinalScore = 0;
    flow.puckTakenUntold = 0;
    flow.strikeSent[0] = flow.strikeSent[1] = 0.0f;
    flow.seenPuckVel[0] = flow.seenPuckVel[1] = 0.0f;
    flow.seenPuckAge = 0.0f;
    flow.endHeld = 0.0f;
    goalPause = -1.0f;
    resetFaceOff();
    scene->environment().setClearColour(0.1f, 0.2f, 0.4f);
    flow.screen = Match;
    menuPictures[e.picture].visible = false;
    pointerSprite->visible = false;
    showMatchModels(*this, true);
    puckModel->visible = true;
    showTiles(*this, false);
    for (int i = 0; i < e.glyphsShown; ++i) glyphSprites[i].visible = false;
    for (int i = 0; i < 3; ++i) scoreSprites[i].visible = true;
    if (e.network) menuPictures[kConnectionIndicator].visible = true;
    return true;
}

void Game::leaveMatch() {
    if (flow.sessionOpen && (flow.matchMode == Create || flow.matchMode == Join) && link) link->close();
    if (flow.matchMode == Practice) unseatPracticeComputer();
    flow.sessionOpen = 0;
    scene->environment().setClearColour(0.0f, 0.0f, 0.0f);
    flow.screen = MainMenu;
    showTiles(*this, true);
    menuPictures[kMainPicture].visible = true;
    pointerSprite->visible = true;
    // The puck stays visible in the menus, as after loading.
    showMatchModels(*this, false);
    for (int i = 0; i < 3; ++i) scoreSprites[i].visible = false;
    menuPictures[kConnectionIndicator].visible = false;
}
