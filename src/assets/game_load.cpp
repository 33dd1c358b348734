// Start-up: audio, options, camera and colours, every model and sprite, the lights.
// Nothing is loaded later. A failed asset fails the load at once; the registries
// have already told the player which file it was.
#include <cstring>

#include "app/layout.h"
#include "flow/screen_parts.h"
#include "graphics/mesh_registry.h"
#include "graphics/scene.h"
#include "sim/game.h"

namespace {

const char* const kFigureTextures[12] = {
    "gfx\\goalie_fin.jpg",   "gfx\\player_fin_2.jpg", "gfx\\player_fin_3.jpg", "gfx\\player_fin_4.jpg",
    "gfx\\player_fin_5.jpg", "gfx\\player_fin_6.jpg", "gfx\\goalie_swe.jpg",   "gfx\\player_swe_2.jpg",
    "gfx\\player_swe_3.jpg", "gfx\\player_swe_4.jpg", "gfx\\player_swe_5.jpg", "gfx\\player_swe_6.jpg"};

const char* const kTileFiles[6] = {"gfx\\menu03a.jpg", "gfx\\menu03b.jpg", "gfx\\menu03c.jpg",
                                   "gfx\\menu03d.jpg", "gfx\\menu03e.jpg", "gfx\\menu03f.jpg"};

// menuPictures[2..5]
const char* const kMenuFiles[4] = {"gfx\\menu_main.jpg", "gfx\\menu_create.jpg", "gfx\\menu_join.jpg",
                                   "gfx\\menu_options.jpg"};

constexpr const char* kPointerFile = "gfx\\menu_mouse.bmp";

// computerBadges[0..2]: easy, normal, hard.
const char* const kBadgeFiles[3] = {"gfx\\cpu_easy.bmp", "gfx\\cpu_normal.bmp", "gfx\\cpu_hard.bmp"};
constexpr float kBadgeX = 264.0f, kBadgeY = 0.0f, kBadgeWidth = 128.0f, kBadgeHeight = 64.0f;

void addHidden(Scene& scene, Renderable& r) {
    scene.addRenderable(&r);
    r.setVisible(false);
}

}  // namespace

bool Game::load(WindowHandle window) {
    const Layout& lay = layout();

    // 1-2. Cooldowns, audio flags and the audio start-up; it never fails the load.
    startAudio(window);

    // 3-4. Options; a missing file means the defaults.
    if (!loadOptions()) {
        mouseSensitivity = 0.4f;
        port = 6116;
        std::strcpy(peerAddress, "127.000.000.001");
        highDetail = 1;
        effectsVolume = 50;
        musicVolume = 50;
    }
    if (musicOn || soundOn) applyVolumes();

    // 5-6. Camera and colours.
    Camera& camera = scene->camera();
    camera.setProjection(0.9f, 2.0f, 600.0f);
    camera.setMode(0);
    camera.setEye(0.0f, 100.0f, -190.0f);
    camera.setTarget(0.0f, 0.0f, 0.0f);
    scene->environment().setAmbientColour(0.1f, 0.1f, 0.1f);
    scene->environment().setClearColour(0.0f, 0.0f, 0.0f);

    // 7. Figures: all twelve high-detail ones, then the low-detail ones.
    for (int i = 0; i < 12; ++i)
        if (!playerModelsHigh[i].load(1, kFigureTextures[i], rodOf(i) == 0 ? "hgoalie_h.x" : "hplayer_h.x"))
            return false;
    for (int i = 0; i < 12; ++i)
        if (!playerModelsLow[i].load(1, kFigureTextures[i], rodOf(i) == 0 ? "hgoalie_l.x" : "hplayer_l.x"))
            return false;

    // 8. Meshes are shared by name, so each is scaled once, after every figure using it is loaded.
    MeshRegistry& meshes = MeshRegistry::instance();
    if (!meshes.scaleMeshByName("hplayer_h.x", 0.8f)) return false;
    if (!meshes.scaleMeshByName("hplayer_l.x", 0.8f)) return false;
    if (!meshes.scaleMeshByName("hgoalie_l.x", 0.9f)) return false;
    if (!meshes.scaleMeshByName("hgoalie_h.x", 0.9f)) return false;

    // 9-11. Figures into the draw list, at their face-off places.
    for (int i = 0; i < 12; ++i) {
        addHidden(*scene, playerModelsHigh[i]);
        addHidden(*scene, playerModelsLow[i]);
    }
    setFaceOffPoses();
    selectedRod[0] = 0;
    selectedRod[1] = 6;

    // 12-13. Puck (off the ice until the first face-off) and rink.
    if (!puckModel->load(1, "gfx\\puck.jpg", "hockey2.x")) return false;
    scene->addRenderable(puckModel);
    puckModel->position = {150.0f, 0.0f, 0.0f};
    if (!rinkModel->load(1, "gfx\\rink.jpg", "hrink2.x")) return false;
    addHidden(*scene, *rinkModel);

    // 14. Match and menu state.
    puckPos[0] = puckPos[1] = 0.0f;
    puckVel[0] = puckVel[1] = 0.0f;
    puckImpulse[0] = puckImpulse[1] = 0.0f;
    puckOwner = 0;
    goalPause = -1.0f;
    score[0] = score[1] = 0;
    portDigitCursor = -1;
    addressDigitCursor = -1;

    // 15. Goals; goal 0 faces the other way.
    for (int g = 0; g < 2; ++g) {
        if (!goalModels[g].loadKeyed(2, "gfx\\goal.bmp", true, "hgoal2.x")) return false;
        addHidden(*scene, goalModels[g]);
    }
    goalModels[0].rotation = {0.0f, 3.141593f, 0.0f};
    goalModels[0].position = {0.0f, 0.0f, -83.0f};
    goalModels[1].position = {0.0f, 0.0f, 83.0f};

    // 16. Splash.
    Sprite& splash = menuPictures[flow::kIntroPicture];
    const float splashSize = static_cast<float>(lay.splashSize);
    if (!splash.loadPlain(2, "gfx\\menu01.jpg", splashSize, splashSize)) return false;
    scene->addRenderable(&splash);
    splash.setPosition(static_cast<float>(lay.splashX), static_cast<float>(lay.splashY), 0.0f);

    // 17. Background tiles.
    for (int i = 0; i < flow::kTileCount; ++i)
        if (!menuPictures[flow::kFirstTile + i].loadPlain(1, kTileFiles[i], 256.0f, 256.0f)) return false;
    for (int i = 0; i < flow::kTileCount; ++i) {
        Sprite& tile = menuPictures[flow::kFirstTile + i];
        scene->addRenderable(&tile);
        flow::placeInMenu(tile, static_cast<float>((i % 3) * 256 + 128), static_cast<float>((i / 3) * 256 + 128));
        tile.setVisible(false);
    }

    // 18. Menu pictures.
    for (int i = 0; i < 4; ++i) {
        Sprite& picture = menuPictures[flow::kMainPicture + i];
        if (!picture.loadPlain(2, kMenuFiles[i], 256.0f, 256.0f)) return false;
        scene->addRenderable(&picture);
        flow::placeInMenu(picture, 384.0f, 256.0f);
        picture.setVisible(false);
    }

    // 19. Connection indicator.
    Sprite& indicator = menuPictures[flow::kConnectionIndicator];
    if (!indicator.loadKeyed(2, "gfx\\connind.bmp", true, 128.0f, 128.0f)) return false;
    scene->addRenderable(&indicator);
    indicator.setPosition(0.0f, 52.0f, 0.0f);
    indicator.setVisible(false);

    // 20. Pointer.
    if (!pointerSprite->loadKeyed(4, kPointerFile, true, 32.0f, 32.0f)) return false;
    addHidden(*scene, *pointerSprite);

    // 21. Option markers.
    for (int i = 0; i < 4; ++i) {
        if (!optionMarkers[i].loadKeyed(3, "gfx\\menu_cursor.bmp", true, 32.0f, 32.0f)) return false;
        addHidden(*scene, optionMarkers[i]);
    }

    // 22. Font glyphs.
    for (int i = 0; i < 22; ++i) {
        if (!glyphSprites[i].loadCells(3, "gfx\\menu_font.bmp", 14.0f, 16.0f, 0.09091f, 0.12f)) return false;
        addHidden(*scene, glyphSprites[i]);
    }

    // 23. Score panel and the two score markers.
    if (!scoreSprites[0].loadKeyed(3, "gfx\\scores.bmp", true, 256.0f, 256.0f)) return false;
    addHidden(*scene, scoreSprites[0]);
    scoreSprites[0].setPosition(0.0f, 0.0f, 0.0f);
    for (int i = 1; i <= 2; ++i) {
        if (!scoreSprites[i].loadKeyed(4, "gfx\\scoreind.bmp", true, 32.0f, 32.0f)) return false;
        addHidden(*scene, scoreSprites[i]);
        scoreSprites[i].setPosition(0.0f, 0.0f, 0.0f);
    }

    // The computer's level badges, beside the score panel. Optional: without their files
    // there is simply no badge.
    for (int i = 0; i < 3; ++i) {
        Sprite& badge = computerBadges[i];
        if (!badge.loadOptional(3, kBadgeFiles[i], kBadgeWidth, kBadgeHeight)) continue;
        addHidden(*scene, badge);
        badge.setPosition(kBadgeX, kBadgeY, 0.0f);
    }

    // 24-25. Lights.
    mainLight->setColour(1.0f, 1.0f, 1.0f, 1.0f);
    mainLight->setPosition(-10.0f, 120.0f, -50.0f);
    mainLight->setRange(500.0f);
    mainLight->setSortKey(1.0f);
    mainLight->setAttenuation(0.02f, 0.0f);
    scene->addLight(mainLight);

    selectionLight->setColour(0.6f, 0.6f, 0.5f, 1.0f);
    selectionLight->setPosition(0.0f, 50.0f, 0.0f);
    selectionLight->setRange(40.0f);
    selectionLight->setSortKey(1.0f);
    selectionLight->setAttenuation(0.04f, 0.0f);
    selectionLight->setDirection(0.0f, -1.0f, 0.0f);
    selectionLight->setCone(1.0f, 1.0f);
    scene->addLight(selectionLight);

    return true;
}

void Game::onDeviceReset() {
    // The registry finds the texture by name: nothing is read, the sprite's state is re-applied.
    pointerSprite->loadKeyed(4, kPointerFile, true, 32.0f, 32.0f);
}
