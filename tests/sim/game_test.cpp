// A freshly constructed world, before anything is loaded; and the opening shot the network
// end-to-end test relies on, played through the joining machine's match frame.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "input/key_buffer.h"
#include "input/mouse_state.h"
#include "platform/udp_link.h"
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

// The opening of tests/e2e/aimed_play.sh (opening_shot), as timed input at sensitivity 1.0:
// the goalie goes to slide 50, out of the shot's way (six moves of 40 counts: enough even when
// two share a frame); skater 4 (rod 3) steps back to slide 0, turns its stick away (angle 32),
// steps up to slide 36 below the puck, turns to angle -22 and comes back to slide 16, beside
// the puck; one move of 40 counts turns it 10 steps and the stick sends the puck into the far
// goal. Three counts a move, 0.1 s apart: even a frame of 0.3 s, which sums three moves, stays
// within the 10 steps a frame may take.
struct Input {
    double at;
    int key;  // a digit key held for 0.3 s (a slow frame must not miss it), or 0 for a move
    int dx, dy;
};

std::vector<Input> openingInput(std::mt19937& rng, double lateness) {
    std::uniform_real_distribution<double> late(0.0, lateness);
    std::vector<Input> in;
    double t = 0.0;
    auto pause = [&](double s) { t += s * (1.0 + late(rng)); };
    auto moves = [&](int total, bool across, int sign) {
        for (int left = total; left > 0; left -= 3) {
            const int c = (left < 3 ? left : 3) * sign;
            in.push_back({t, 0, across ? c : 0, across ? 0 : c});
            pause(0.1);
        }
    };
    in.push_back({t, key::Digit1, 0, 0});
    pause(0.4);
    for (int i = 0; i < 6; ++i) in.push_back({t, 0, 40, 0}), pause(0.1);
    pause(0.4);  // a move in the frame that sees the next key would turn the skater
    in.push_back({t, key::Digit1 + 3, 0, 0});
    pause(0.4);
    in.push_back({t, 0, 0, 10}), pause(0.1);
    moves(64, true, 1);    // angle 96 -> 32
    moves(36, false, -1);  // slide 0 -> 36
    moves(54, true, 1);    // angle 32 -> -22
    moves(20, false, 1);   // slide 36 -> 16
    pause(0.4);
    in.push_back({t, 0, 40, 0});  // the shot
    pause(1.0);
    for (int i = 0; i < 4; ++i) in.push_back({t, 0, 0, 40}), pause(0.1);  // back to slide 0
    return in;
}

// Plays the opening on a joining machine that owns the puck and hears nothing (the creating
// team stands in its face-off poses). Returns the game time from the shot to the goal the
// puck step found, or -1; fails if a creating-team figure touched the puck (the creating
// machine would then take it over).
double playOpening(const std::vector<Input>& in, const std::function<double()>& frameTime) {
    KeyBuffer& keys = KeyBuffer::instance();
    MouseState& mouse = MouseState::instance();
    std::memset(keys.bytes, 0, sizeof keys.bytes);
    UdpLink link;
    Game g;
    g.link = &link;
    g.mouseSensitivity = 1.0f;
    g.flow.matchMode = Join;
    g.flow.sessionOpen = 1;
    g.puckOwner = 2;
    g.resetFaceOff();

    const double shotAt = in[in.size() - 5].at;
    double now = 0.0, gameTime = 0.0, shotGameTime = -1.0;
    size_t next = 0;
    while (gameTime < 20.0) {
        const double previous = now;
        now += frameTime();
        std::memset(keys.bytes, 0, sizeof keys.bytes);
        mouse.deltaX = mouse.deltaY = 0;
        for (const Input& i : in)
            if (i.key && i.at <= now && now < i.at + 0.3) keys.bytes[i.key] = 0x80;
        for (; next < in.size() && in[next].at <= now; ++next) {
            mouse.deltaX += in[next].dx;
            mouse.deltaY += in[next].dy;
        }
        if (previous < shotAt && shotAt <= now) shotGameTime = gameTime;
        const float dt = static_cast<float>(now - previous > 0.1 ? 0.1 : now - previous);
        gameTime += dt;
        g.matchFrame(dt);
        for (int p = 0; p < 6; ++p)
            if (g.sweepPlayer(p, g.slide[p], g.angle[p])) {
                ADD_FAILURE() << "creating-team figure " << p << " touched the puck at " << gameTime << " s";
                return -1.0;
            }
        if (g.flow.lastGoalSide != 0) {
            EXPECT_EQ(g.flow.lastGoalSide, 1) << "an own goal of the joining team, credited to side 1";
            EXPECT_EQ(g.puckOwner, 2);
            return shotGameTime < 0 ? -1.0 : gameTime - shotGameTime;
        }
    }
    return -1.0;
}

TEST(OpeningShot, ScoresFromTheFaceOffWhateverTheFrameTimes) {
    for (double fixed : {0.01, 1.0 / 60, 1.0 / 30, 1.0 / 15, 0.1}) {
        std::mt19937 rng(1);
        const double took = playOpening(openingInput(rng, 0.0), [&] { return fixed; });
        EXPECT_GT(took, 0.0) << "frames of " << fixed << " s";
        EXPECT_LT(took, 3.0) << "frames of " << fixed << " s";
    }
    // Frames of 1/100 to 1/15 s, one in twenty of 0.25 s; moves up to half a pause late.
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> frame(0.01, 1.0 / 15), chance(0.0, 1.0);
        const double took = playOpening(openingInput(rng, 0.5), [&] { return chance(rng) < 0.05 ? 0.25 : frame(rng); });
        EXPECT_GT(took, 0.0) << "seed " << seed;
        EXPECT_LT(took, 3.0) << "seed " << seed;
    }
}

}  // namespace
