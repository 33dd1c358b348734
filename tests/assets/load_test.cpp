// Game::load on the recording device with tiny asset files. Each load runs in a
// fresh child process: the registries and the scene live for the whole process,
// and a file loaded once is never read again.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "app/show_error.h"
#include "graphics/graphics_device.h"
#include "graphics/mesh_registry.h"
#include "graphics/scene.h"
#include "platform/fake/recording_audio.h"
#include "platform/fake/recording_device.h"
#include "sim/game.h"
#include "support/test_support.h"

namespace {

std::string bmp2x2() {
    auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto le16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    std::string pixels;
    for (int row = 0; row < 2; ++row) pixels += std::string("\x10\x80\xF0\x00\x00\x00\x00\x00", 8);  // 2 px + pad
    std::string b = "BM" + le32(54 + uint32_t(pixels.size())) + le32(0) + le32(54);
    b += le32(40) + le32(2) + le32(2) + le16(1) + le16(24) + le32(0) + le32(uint32_t(pixels.size())) + le32(2835) +
         le32(2835) + le32(0) + le32(0);
    return b + pixels;
}

const char* const kMesh =
    "xof 0303txt 0032\n"
    "Mesh {\n 3;\n 0.0;0.0;0.0;,\n 1.0;0.0;0.0;,\n 0.0;0.0;1.0;;\n 1;\n 3;0,1,2;;\n}\n";

// Every file the load reads, as tiny valid stand-ins (pictures are sniffed by content).
void writeAssets(ScratchDir& dir) {
    const std::string picture = bmp2x2();
    const char* pictures[] = {
        "goalie_fin.jpg", "player_fin_2.jpg", "player_fin_3.jpg", "player_fin_4.jpg", "player_fin_5.jpg",
        "player_fin_6.jpg", "goalie_swe.jpg", "player_swe_2.jpg", "player_swe_3.jpg", "player_swe_4.jpg",
        "player_swe_5.jpg", "player_swe_6.jpg", "puck.jpg", "rink.jpg", "goal.bmp", "menu01.jpg", "menu03a.jpg",
        "menu03b.jpg", "menu03c.jpg", "menu03d.jpg", "menu03e.jpg", "menu03f.jpg", "menu_main.jpg",
        "menu_create.jpg", "menu_join.jpg", "menu_options.jpg", "connind.bmp", "menu_mouse.bmp",
        "menu_cursor.bmp", "menu_font.bmp", "scores.bmp", "scoreind.bmp"};
    for (const char* p : pictures) dir.write(std::string("gfx/") + p, picture);
    for (const char* m : {"hgoalie_h.x", "hplayer_h.x", "hgoalie_l.x", "hplayer_l.x", "hockey2.x", "hrink2.x",
                          "hgoal2.x"})
        dir.write(m, kMesh);
}

// The start-up of one child: graphics on the recording system, then the game.
struct LoadRig {
    LoadRig() {
        captureErrorBoxes();
        installRecordingSystem(&recorder);
        started = graphics.init(nullptr, 1024, 768);
    }
    Recorder recorder;
    GraphicsDevice graphics;
    bool started = false;
    ScopedRecordingAudio audio;
    Game game;
};

float firstVertexX(int mesh, int vertex) {
    MeshBuffers* buffers = MeshRegistry::instance().meshById(mesh);
    if (!buffers) return -1.0f;
    auto* vb = dynamic_cast<RecordingVertexBuffer*>(buffers->vertexBuffer);
    if (!vb) return -1.0f;
    float x;
    std::memcpy(&x, vb->bytes.data() + size_t(vertex) * buffers->stride, sizeof x);
    return x;
}

TEST(GameLoad, EverythingPresent) {
    ScratchDir dir;
    writeAssets(dir);
    inFreshProcess([](Report& r) {
        LoadRig rig;
        Game& g = rig.game;
        r.check(rig.started, "no device");
        r.check(g.load(nullptr), "load failed");
        r.check(errorBoxes().empty(), "an error was shown");

        // Only the splash and the puck are visible, among 70 renderables.
        int count = 0;
        for (auto* node = Scene::instance().drawList(); node; node = node->next) {
            ++count;
            const bool shown = node->renderable == &g.menuPictures[0] || node->renderable == g.puckModel;
            r.check(node->renderable->visible == shown, "wrong visibility in the draw list");
        }
        r.check(count == 70, "draw list holds " + std::to_string(count));
        // The computer's badges are optional: without their files, no badge and no message.
        for (int i = 0; i < 3; ++i) r.check(g.computerBadges[i].key().texture == -1, "a badge without its file");

        // Each player mesh is scaled exactly once; other meshes not at all.
        r.check(firstVertexX(g.playerModelsHigh[1].key().mesh, 1) == 0.8f, "hplayer_h.x scale");
        r.check(firstVertexX(g.playerModelsLow[11].key().mesh, 1) == 0.8f, "hplayer_l.x scale");
        r.check(firstVertexX(g.playerModelsHigh[6].key().mesh, 1) == 0.9f, "hgoalie_h.x scale");
        r.check(firstVertexX(g.playerModelsLow[0].key().mesh, 1) == 0.9f, "hgoalie_l.x scale");
        r.check(firstVertexX(g.puckModel->key().mesh, 1) == 1.0f, "hockey2.x scaled");

        // Layers, places and starting state.
        r.check(g.playerModelsHigh[0].key().layer == 1 && g.goalModels[1].key().layer == 2 &&
                    g.menuPictures[10].key().layer == 1 && g.menuPictures[6].key().layer == 2 &&
                    g.pointerSprite->key().layer == 4 && g.glyphSprites[21].key().layer == 3 &&
                    g.scoreSprites[0].key().layer == 3 && g.scoreSprites[2].key().layer == 4,
                "layers");
        r.check(g.goalModels[0].key().hasFlag(keyflag::AlphaTest) && !g.puckModel->key().hasFlag(keyflag::AlphaTest),
                "colour keys");
        r.check(g.glyphSprites[0].cellMode && g.glyphSprites[0].width == 14.0f &&
                    g.glyphSprites[0].cellSize.u == 0.09091f && g.glyphSprites[0].cellSize.v == 0.12f,
                "glyph cells");
        r.check(g.glyphSprites[22].key().texture == -1 && g.optionMarkers[4].key().texture == -1 &&
                    g.menuPictures[1].key().texture == -1,
                "an unused sprite was loaded");
        r.check(g.puckModel->position.x == 150.0f, "puck off the ice");
        r.check(g.goalModels[0].position.z == -83.0f && g.goalModels[0].rotation.y == 3.141593f &&
                    g.goalModels[1].position.z == 83.0f,
                "goals");
        r.check(g.menuPictures[0].position.x == 256.0f && g.menuPictures[0].position.y == 128.0f &&
                    g.menuPictures[0].width == 512.0f,
                "splash");
        r.check(g.menuPictures[14].position.x == 384.0f && g.menuPictures[14].position.y == 384.0f, "tile 4");
        r.check(g.menuPictures[5].position.x == 384.0f && g.menuPictures[5].position.y == 256.0f, "menu picture");
        r.check(g.menuPictures[6].position.y == 52.0f && g.menuPictures[6].width == 128.0f, "indicator");
        r.check(g.playerModelsHigh[1].position.x == g.groovePoint(1, 10).x && g.angle[7] == 96 &&
                    g.targetSlide[3] == 1 && g.selectedRod[1] == 6,
                "face-off places");
        r.check(g.mouseSensitivity == 0.4f && g.port == 6116 && std::strcmp(g.peerAddress, "127.000.000.001") == 0,
                "option defaults");
        r.check(g.portDigitCursor == -1 && g.addressDigitCursor == -1 && g.goalPause == -1.0f, "menu state");

        // Camera, colours, lights.
        const Camera& cam = Scene::instance().camera();
        r.check(cam.mode == 0 && cam.fieldOfView == 0.9f && cam.farPlane == 600.0f && cam.eye.z == -190.0f,
                "camera");
        r.check(Scene::instance().environment().ambientColour.r == 0.1f, "ambient");
        Scene::LightNode* lights = Scene::instance().lightList();
        r.check(lights && lights->light == g.mainLight && lights->next && lights->next->light == g.selectionLight,
                "lights in order");
        r.check(g.mainLight->params.position.y == 120.0f && g.mainLight->params.range == 500.0f &&
                    g.mainLight->params.attenuation1 == 0.02f,
                "main light");
        r.check(g.selectionLight->params.diffuse.b == 0.5f && g.selectionLight->params.direction.y == -1.0f &&
                    g.selectionLight->params.theta == 1.0f && g.selectionLight->params.range == 40.0f,
                "selection light");

        // Audio came up and the volumes were applied once.
        r.check(g.soundOn && g.musicOn, "audio flags");
        r.check(rig.audio->callsStartingWith("setGlobalVolumes") == std::vector<std::string>{"setGlobalVolumes(50,50,50)"},
                "volumes");

        // After a device reset the pointer is set up again without reading its file.
        const int texture = g.pointerSprite->key().texture;
        std::remove("gfx/menu_mouse.bmp");
        g.onDeviceReset();
        r.check(g.pointerSprite->key().texture == texture && g.pointerSprite->width == 32.0f &&
                    g.pointerSprite->key().layer == 4 && errorBoxes().empty(),
                "pointer after reset");
    });
}

TEST(GameLoad, BadgesLoadWhenPresentAndADamagedOneIsLeftOutQuietly) {
    ScratchDir dir;
    writeAssets(dir);
    dir.write("gfx/cpu_easy.bmp", bmp2x2());
    dir.write("gfx/cpu_normal.bmp", "not a picture");
    dir.write("gfx/cpu_hard.bmp", bmp2x2());
    inFreshProcess([](Report& r) {
        LoadRig rig;
        Game& g = rig.game;
        r.check(g.load(nullptr), "load failed");
        r.check(errorBoxes().empty(), "an error was shown");
        int count = 0;
        for (auto* node = Scene::instance().drawList(); node; node = node->next) ++count;
        r.check(count == 72, "draw list holds " + std::to_string(count));
        r.check(g.computerBadges[0].key().texture >= 0 && g.computerBadges[2].key().texture >= 0 &&
                    g.computerBadges[1].key().texture == -1,
                "badges");
        r.check(!g.computerBadges[0].visible && g.computerBadges[2].key().layer == 3 &&
                    g.computerBadges[2].key().hasFlag(keyflag::AlphaTest) && g.computerBadges[2].position.x == 264.0f &&
                    g.computerBadges[2].width == 128.0f,
                "badge place");
    });
}

TEST(GameLoad, MissingFigureTextureStopsBeforeTheLowDetailFigures) {
    ScratchDir dir;
    writeAssets(dir);
    std::remove("gfx/player_swe_6.jpg");
    inFreshProcess([](Report& r) {
        LoadRig rig;
        r.check(!rig.game.load(nullptr), "load succeeded");
        r.check(errorBoxes() == std::vector<std::string>{"Missing file: gfx\\player_swe_6.jpg"}, "message");
        r.check(MeshRegistry::instance().findMeshByName("hgoalie_l.x") < 0 &&
                    rig.game.playerModelsLow[0].key().texture == -1,
                "a low-detail figure was loaded");
    });
}

TEST(GameLoad, MissingKeyedGoalTexture) {
    ScratchDir dir;
    writeAssets(dir);
    std::remove("gfx/goal.bmp");
    inFreshProcess([](Report& r) {
        LoadRig rig;
        r.check(!rig.game.load(nullptr), "load succeeded");
        r.check(errorBoxes() == std::vector<std::string>{"Texture files missing"}, "message");
        r.check(rig.game.menuPictures[0].key().texture == -1, "went on after the goals");
    });
}

TEST(GameLoad, SilentOrMusiclessAudioAndAnOptionsFileStillLoad) {
    ScratchDir dir;
    writeAssets(dir);
    inFreshProcess([](Report& r) {
        LoadRig rig;
        rig.audio->initResult = false;
        r.check(rig.game.load(nullptr), "load failed without a device");
        r.check(!rig.game.soundOn && !rig.game.musicOn, "flags");
        r.check(rig.audio->callsStartingWith("setGlobalVolumes").empty(), "volumes applied while silent");
    });
    Game settings;
    settings.mouseSensitivity = 1.5f;
    settings.musicVolume = 20;
    settings.saveOptions();
    inFreshProcess([](Report& r) {
        LoadRig rig;
        rig.audio->missingFiles = {"tune.mp3"};
        r.check(rig.game.load(nullptr), "load failed without music");
        r.check(rig.game.soundOn && !rig.game.musicOn, "flags");
        r.check(rig.game.mouseSensitivity == 1.5f && rig.game.musicVolume == 20, "options file not used");
        r.check(rig.audio->callsStartingWith("setGlobalVolumes") == std::vector<std::string>{"setGlobalVolumes(20,50,20)"},
                "volumes");
    });
}

// The generator's real files, when the build has made them.
TEST(GameLoad, GeneratedAssets) {
    if (!std::filesystem::exists(FROSTEL_RUN_DIR "/hplayer_h.x")) GTEST_SKIP() << "no generated assets";
    const std::string previous = std::filesystem::current_path().string();
    std::filesystem::current_path(FROSTEL_RUN_DIR);
    inFreshProcess([](Report& r) {
        LoadRig rig;
        r.check(rig.game.load(nullptr), "load failed");
        r.check(errorBoxes().empty(), "an error was shown");
    });
    std::filesystem::current_path(previous);
}

}  // namespace
