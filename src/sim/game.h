#pragma once
// The one object that holds the world. Its operations are spread over the
// subsystems: sim/ (rods, puck), flow/ (update, menus, match), net/ (exchange),
// assets/ (load, audio, options).
#include <cstdint>

#include "flow/flow_state.h"
#include "graphics/light.h"
#include "graphics/model_instance.h"
#include "graphics/sprite.h"
#include "platform/window_handle.h"

class Scene;
class MouseState;
class KeyBuffer;
class DatagramLink;
class ComputerPlayer;

struct Point2 {
    float x, z;
};

class Game {
public:
    Game();
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // assets/
    bool load(WindowHandle window);
    void onDeviceReset();
    bool loadOptions();
    void saveOptions();
    void startAudio(WindowHandle window);
    void applyVolumes();
    void playSample(int index, bool rateLimited);
    void playSampleNow(int index);  // unlimited, cooldown untouched; only when soundOn

    // sim/: rods
    Point2 groovePoint(int player, int slide) const;
    static float distance2d(float x1, float z1, float x2, float z2);
    void placePlayerModel(int player);
    void addPuckImpulse(float x, float z, float dx, float dz);
    bool sweepPlayer(int player, int slide, int angle);
    float puckOverlap(int player, int slide, int angle) const;  // > 0: that pose touches the puck
    bool movePlayer(int player);
    void resetFaceOff();
    void setFaceOffPoses();  // face-off slides and angles, deltas 0, models placed
    // sim/: puck
    int stepPuck(float dt);
    void bouncePuckOffCircle(float cx, float cz, float radius);
    static float angleTo(float x1, float z1, float x2, float z2);
    static float wrapAngle(float a);

    // flow/
    bool update(float dt);
    bool introFrame(float dt);
    bool menuFrame();
    bool enterMatch(int mode);  // false: the link failed to open, the program ends
    bool matchFrame(float dt);
    void leaveMatch();
    void steerSelectedPlayer(int team, float dt);
    bool moveTeam(int team);
    void advancePlay(float dt);
    void scoreGoal(int side);
    // Pause, horn and fanfare of a goal; a winning one also starts the end countdown.
    void celebrateGoal(float pause, bool winning);
    void practiceFrame(float dt);
    void practiceSideSwitch(float dt);
    // The C key and the computer it seats on the team the player is not steering.
    void practiceComputerKey();
    void seatPracticeComputer();
    void unseatPracticeComputer();
    void placeCamera();

    // net/
    void creatingExchange(bool ownContact, float dt);
    void joiningExchange(bool ownContact, float dt);
    // A decided match stays on the creating machine until the joining machine shows it has
    // the final score, for a few seconds at most; true while it stays.
    bool holdMatchEnd(float dt);

    // Shared objects
    Scene* scene;
    MouseState* mouse;
    KeyBuffer* keyboard;

    PointLight* mainLight;
    SpotLight* selectionLight;
    ModelInstance* playerModelsLow;   // [12]
    ModelInstance* playerModelsHigh;  // [12]
    ModelInstance* rinkModel;
    ModelInstance* goalModels;        // [2]
    Sprite* menuPictures;             // [16]
    Sprite* pointerSprite;
    Sprite* optionMarkers;            // [5]
    Sprite* glyphSprites;             // [25]
    Sprite* scoreSprites;             // [5]
    Sprite* computerBadges;           // [3] easy, normal, hard; unloaded when their files are missing

    int* slide;        // [12]
    int* angle;        // [12]
    int* targetSlide;  // [12]
    int* targetAngle;  // [12]
    int* slideDelta;   // [12]
    int* angleDelta;   // [12]
    int selectedRod[2] = {0, 6};

    ModelInstance* puckModel;
    float puckPos[2] = {0, 0};
    float puckVel[2] = {0, 0};
    float puckImpulse[2] = {0, 0};
    int puckOwner = 0;
    float goalPause = -1.0f;
    int score[2] = {0, 0};

    uint8_t soundOn = 0;
    uint8_t musicOn = 0;
    int effectsVolume = 50;
    int musicVolume = 50;
    float mouseSensitivity = 0.3f;
    uint8_t highDetail = 1;
    int port = 6116;
    int portDigitCursor = -1;
    char peerAddress[20] = {};
    int addressDigitCursor = -1;
    uint32_t samples[6] = {};
    uint32_t musicStream = 0;
    float sampleCooldown[15] = {};

    FlowState flow;
    DatagramLink* link = nullptr;  // the process-wide UDP link unless a test or matchsim gives its own
    // A computer player steering each team, by team index; none where a person steers.
    ComputerPlayer* computers[2] = {nullptr, nullptr};
    ComputerPlayer* practiceComputer = nullptr;  // owned: the one the C key brings into practice

    // The live set of figures.
    ModelInstance* liveModels() const { return highDetail ? playerModelsHigh : playerModelsLow; }
};

// The score that wins the match.
constexpr int kWinningScore = 10;

// Indexes into `samples`.
namespace sample {
constexpr int StickClick = 0, Board = 1, Figure = 2, Horn = 3, Fanfare = 4, FinalFanfare = 5;
}

// Teams, rods and sides.
inline int teamOf(int player) { return player / 6; }
inline int rodOf(int player) { return player % 6; }
inline int slideLimit(int rod) { return rod == 0 ? 50 : (rod == 1 || rod == 5) ? 127 : 90; }
