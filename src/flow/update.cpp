// The every-frame steps, the dispatch by screen and the intro.
#include "flow/screen_parts.h"
#include "input/key_buffer.h"
#include "input/mouse_state.h"
#include "platform/audio_system.h"
#include "platform/udp_link.h"
#include "sim/game.h"

namespace {
constexpr float kCooldownCeiling = 3.0f;  // a sample timer stops here so it never grows without bound
constexpr float kIntroSeconds = 6.0f;
}  // namespace

bool Game::update(float dt) {
    for (float& c : sampleCooldown)
        if (c < kCooldownCeiling) c += dt;
    if (!link) link = &UdpLink::instance();

    switch (flow.screen) {
        case Intro:
            return introFrame(dt);
        case MainMenu:
        case CreateMenu:
        case JoinMenu:
        case OptionsMenu:
            return menuFrame();
        default:
            return matchFrame(dt);
    }
}

bool Game::introFrame(float dt) {
    if (keyboard->isKeyDown(key::Escape)) return false;

    const uint8_t button = mouse->leftButton ? 1 : 0;
    flow.introTime += dt;
    if (flow.introTime > kIntroSeconds || (button && !flow.introButtonWasDown)) {
        flow.screen = MainMenu;
        flow.introTime = 0.0f;
        menuPictures[flow::kIntroPicture].visible = false;
        menuPictures[flow::kMainPicture].visible = true;
        flow::showTiles(*this, true);
        // Place it before its first drawn frame, not at its load position.
        pointerSprite->setPosition(static_cast<float>(flow.pointerX), static_cast<float>(flow.pointerY), 0.0f);
        pointerSprite->visible = true;
        if (musicOn) audioSystem().streamPlay(musicStream, false, 4);
    }
    flow.introButtonWasDown = button;
    return true;
}

namespace flow {

void showTiles(Game& g, bool visible) {
    for (int i = 0; i < kTileCount; ++i) g.menuPictures[kFirstTile + i].visible = visible;
}

}  // namespace flow
