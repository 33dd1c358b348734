// The computer player plays by a person's rules: its own team's targets only, at most 600
// steps a second on each axis whatever the frame rate, angles within -127..127, the same
// match for the same seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <tuple>
#include <vector>

#include "ai/approach.h"
#include "ai/computer_player.h"
#include "ai/goalie_walk.h"
#include "ai/remote_puck.h"
#include "ai/shot_trial.h"
#include "sim/game.h"

namespace {

// A practice match without a window: the computer's team against one that stands still.
struct Rink {
    Game game;
    Rink() {
        game.resetFaceOff();
        game.puckOwner = 1;
    }
    void frame(ComputerPlayer& computer, float dt) {
        computer.steer(game, dt);
        for (int i = 6 * computer.team(); i < 6 * computer.team() + 6; ++i) game.movePlayer(i);
        game.advancePlay(dt);
    }
};

// Frame times: fixed, or jittered between 1/200 and 1/10 s from a fixed seed.
std::vector<float> frameTimes(float dt, float seconds) {
    std::vector<float> times;
    uint32_t r = 7;
    for (float t = 0.0f; t < seconds;) {
        float d = dt;
        if (dt <= 0.0f) {
            r = r * 1664525u + 1013904223u;
            d = 0.005f + 0.095f * static_cast<float>(r >> 8) / 16777216.0f;
        }
        times.push_back(d);
        t += d;
    }
    return times;
}

TEST(ComputerPlayer, NoTargetMovesFasterThanTheMouseAtAnyFrameRate) {
    for (float dt : {1.0f / 200.0f, 1.0f / 60.0f, 1.0f / 30.0f, 0.1f, 0.0f}) {
        for (int team = 0; team < 2; ++team) {
            Rink rink;
            Game& g = rink.game;
            ComputerPlayer computer(team, ComputerLevel::Hard, 5);
            // Steps commanded per figure and axis, and when: any one second holds at most 600
            // (a fraction carried over may add one).
            std::vector<std::pair<double, int>> moves[12][2];
            double now = 0.0;
            int moved = 0;
            for (float d : frameTimes(dt, 40.0f)) {
                now += d;
                computer.steer(g, d);
                for (int i = 6 * team; i < 6 * team + 6; ++i) {
                    const int slideStep = std::abs(g.targetSlide[i] - g.slide[i]);
                    const int angleStep = std::abs(g.targetAngle[i] - g.angle[i]);
                    ASSERT_LE(slideStep, kComputerMaxRate * d + 1.0f) << "dt " << dt << " figure " << i;
                    ASSERT_LE(angleStep, kComputerMaxRate * d + 1.0f) << "dt " << dt << " figure " << i;
                    ASSERT_LE(std::abs(g.targetAngle[i]), 127) << "beyond what a datagram carries, figure " << i;
                    // The deltas say what was commanded, as the mouse steering sets them.
                    ASSERT_EQ(g.slideDelta[i], rodOf(i) == 0 && computer.selected() != i ? 0 : g.targetSlide[i] - g.slide[i]);
                    ASSERT_EQ(g.angleDelta[i], g.targetAngle[i] - g.angle[i]);
                    if (slideStep) moves[i][0].push_back({now, slideStep});
                    if (angleStep) moves[i][1].push_back({now, angleStep});
                    moved += slideStep + angleStep;
                }
                for (int i = 6 * team; i < 6 * team + 6; ++i) g.movePlayer(i);
                g.advancePlay(d);
            }
            EXPECT_GT(moved, 100) << "dt " << dt << ": the computer hardly moved";
            for (auto& figure : moves)
                for (auto& axis : figure) {
                    size_t first = 0;
                    int inWindow = 0;
                    for (size_t k = 0; k < axis.size(); ++k) {
                        inWindow += axis[k].second;
                        while (axis[k].first - axis[first].first >= 1.0) inWindow -= axis[first++].second;
                        ASSERT_LE(inWindow, 600 + 2) << "dt " << dt << " at " << axis[k].first << " s";
                    }
                }
        }
    }
}

TEST(ComputerPlayer, TouchesOnlyItsOwnTeamsTargetsAndDeltas) {
    for (int team = 0; team < 2; ++team) {
        Rink rink;
        Game& g = rink.game;
        ComputerPlayer computer(team, ComputerLevel::Hard, 11);
        const int other = 1 - team;
        for (float d : frameTimes(0.0f, 30.0f)) {
            // Whatever the other side left in its deltas and targets must stay as it is.
            for (int i = 6 * other; i < 6 * other + 6; ++i) {
                g.targetSlide[i] = g.slide[i] + 3;
                g.targetAngle[i] = g.angle[i] - 2;
                g.slideDelta[i] = 3;
                g.angleDelta[i] = -2;
            }
            int before[12][4];
            for (int i = 0; i < 12; ++i) {
                before[i][0] = g.slide[i];
                before[i][1] = g.angle[i];
                before[i][2] = g.targetSlide[i];
                before[i][3] = g.targetAngle[i];
            }
            const float puck[6] = {g.puckPos[0], g.puckPos[1], g.puckVel[0], g.puckVel[1], g.puckImpulse[0], g.puckImpulse[1]};
            const int score[2] = {g.score[0], g.score[1]};
            const int selected[2] = {g.selectedRod[0], g.selectedRod[1]};
            const float pause = g.goalPause;
            const int owner = g.puckOwner;

            computer.steer(g, d);

            const float after[6] = {g.puckPos[0], g.puckPos[1], g.puckVel[0], g.puckVel[1], g.puckImpulse[0], g.puckImpulse[1]};
            ASSERT_EQ(std::memcmp(puck, after, sizeof puck), 0);
            ASSERT_TRUE(score[0] == g.score[0] && score[1] == g.score[1] && pause == g.goalPause && owner == g.puckOwner);
            ASSERT_TRUE(selected[0] == g.selectedRod[0] && selected[1] == g.selectedRod[1]);  // its own selection
            for (int i = 0; i < 12; ++i) {
                ASSERT_EQ(before[i][0], g.slide[i]) << i;  // poses move only in movePlayer
                ASSERT_EQ(before[i][1], g.angle[i]) << i;
                if (teamOf(i) == other) {
                    ASSERT_EQ(before[i][2], g.targetSlide[i]) << i;
                    ASSERT_EQ(before[i][3], g.targetAngle[i]) << i;
                    ASSERT_EQ(g.slideDelta[i], 3) << i;
                    ASSERT_EQ(g.angleDelta[i], -2) << i;
                }
            }
            for (int i = 6 * other; i < 6 * other + 6; ++i) {
                g.targetSlide[i] = g.slide[i];
                g.targetAngle[i] = g.angle[i];
                g.slideDelta[i] = g.angleDelta[i] = 0;
            }
            for (int i = 6 * team; i < 6 * team + 6; ++i) g.movePlayer(i);
            g.advancePlay(d);
        }
    }
}

TEST(ComputerPlayer, SameSeedAndFrameTimesPlayTheSameMatch) {
    const std::vector<float> times = frameTimes(0.0f, 60.0f);
    auto play = [&](uint32_t seed, std::vector<float>& trace) {
        Rink rink;
        ComputerPlayer computer(0, ComputerLevel::Normal, seed);
        for (float d : times) {
            rink.frame(computer, d);
            trace.push_back(rink.game.puckPos[0]);
            trace.push_back(rink.game.puckPos[1]);
            for (int i = 0; i < 6; ++i) trace.push_back(static_cast<float>(rink.game.slide[i] * 1000 + rink.game.angle[i]));
        }
        return rink.game.score[0] * 100 + rink.game.score[1];
    };
    std::vector<float> first, second;
    const int a = play(3, first), b = play(3, second);
    EXPECT_EQ(a, b);
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(std::memcmp(first.data(), second.data(), first.size() * sizeof(float)), 0);
}

// The strongest level plays a whole match to ten against a team that stands still, unless
// the puck comes to rest where only the still team reaches (a stall: which match stalls
// depends on the last bits of the maths library, so the Windows build meets one).
TEST(ComputerPlayer, HardFinishesAMatchAgainstAStillTeam) {
    Rink rink;
    ComputerPlayer computer(0, ComputerLevel::Hard, 1);
    for (float t = 0.0f; t < 240.0f && rink.game.score[0] < kWinningScore; t += 1.0f / 60.0f)
        rink.frame(computer, 1.0f / 60.0f);
    const Game& g = rink.game;
    if (g.score[0] < kWinningScore) {
        EXPECT_GE(g.score[0], kWinningScore / 2);
        EXPECT_LT(std::hypot(g.puckVel[0], g.puckVel[1]), 0.1f) << "no goal, and the puck still moves";
        EXPECT_FALSE(bladeReaches(g, 0, Point2{g.puckPos[0], g.puckPos[1]}))
            << "the puck lies within reach at (" << g.puckPos[0] << ", " << g.puckPos[1] << ")";
    }
    EXPECT_EQ(g.score[1], 0) << "an own goal";
}

// A trial tells what play will do: a ram at the end of the groove drives nowhere, for the
// figure goes no further in play (a trial that ran on past the end pushed a puck that play
// never reached, and the same strike was chosen again and again). Each strike is played
// here as the computer plays it, its targets kept within the groove.
TEST(ComputerPlayer, ATrialMovesThePuckOnlyAsPlayDoes) {
    for (const int ram : {-1, 1}) {
        Rink rink;
        Game& g = rink.game;
        g.slide[2] = g.targetSlide[2] = 0;  // at the groove's end, the puck leaning on it
        g.angle[2] = g.targetAngle[2] = 26;
        g.puckPos[0] = -40.9f;
        g.puckPos[1] = -112.0f;
        Strike s;
        s.player = 2;
        s.slide = 0;
        s.readyAngle = 26;
        s.ram = ram;
        s.dir = 0;
        s.puckAt = {g.puckPos[0], g.puckPos[1]};
        const float dt = 1.0f / 60.0f;
        const TrialOutcome tried = trialStrike(g, s, PuckState{s.puckAt, {0.0f, 0.0f}}, 0.0f, dt, false);
        Swing swing(s, Pose{0, 26});
        bool touched = false, everTouched = false;
        while (!swing.over(Pose{g.slide[2], g.angle[2]}, touched, dt)) {
            const Pose to = swing.next(Pose{g.slide[2], g.angle[2]}, dt);
            g.targetSlide[2] = std::clamp(to.slide, 0, slideLimit(2));
            g.targetAngle[2] = to.angle;
            touched = g.movePlayer(2);
            everTouched = everTouched || touched;
            g.advancePlay(dt);
        }
        for (int k = 0; k < 600; ++k) g.advancePlay(dt);
        EXPECT_EQ(tried.touched, everTouched) << "ram " << ram;
        EXPECT_LT(Game::distance2d(tried.rest.x, tried.rest.z, g.puckPos[0], g.puckPos[1]), 3.0f)
            << "ram " << ram << ": tried (" << tried.rest.x << ", " << tried.rest.z << "), played (" << g.puckPos[0]
            << ", " << g.puckPos[1] << ")";
    }
    // The goalie walking meanwhile is stopped by the puck as in play. Set down at each step
    // instead, its blade swept a puck wedged against a skater out, and the skater's strike on
    // it looked good; in play both stood fast and the same strike was chosen for good. Play
    // runs as the computer's does, the goalie moved first, and strikes once ready.
    Rink rink;
    Game& g = rink.game;
    for (const auto& [player, slide, angle] : {std::tuple{4, 32, 13}, std::tuple{0, 44, -52}}) {
        g.slide[player] = g.targetSlide[player] = slide;
        g.angle[player] = g.targetAngle[player] = angle;
    }
    g.puckPos[0] = 21.97f;
    g.puckPos[1] = -66.37f;
    Strike s;
    s.player = 4;
    s.slide = 22;
    s.readyAngle = 31;
    s.dir = 1;
    s.puckAt = {g.puckPos[0], g.puckPos[1]};
    const float dt = 1.0f / 200.0f;
    const TrialOutcome tried = trialStrike(g, s, PuckState{s.puckAt, {0.0f, 0.0f}}, 0.0f, dt, false);
    GoalieWalk walk;
    AxisLimiter slideAxis, angleAxis;
    std::optional<Swing> swing;
    bool touched = false;
    for (int k = 0; k < 600; ++k) {
        g.targetSlide[0] = walk.step(g, 0, Point2{g.puckPos[0], g.puckPos[1]}, dt);
        const bool ready = g.slide[4] == s.slide && atReadyAngle(s, g.angle[4]);
        if (ready && !swing) swing.emplace(s, Pose{g.slide[4], g.angle[4]});
        if (swing && swing->over(Pose{g.slide[4], g.angle[4]}, touched, dt)) break;
        const Pose now{g.slide[4], g.angle[4]};
        const Pose to = swing ? swing->next(now, dt) : approachStep(g, s, slideAxis, angleAxis, s.approachRate, dt);
        g.targetSlide[4] = to.slide;
        g.targetAngle[4] = to.angle;
        g.movePlayer(0);
        touched = g.movePlayer(4);
        g.advancePlay(dt);
    }
    for (int k = 0; k < 1200; ++k) {
        g.targetSlide[0] = walk.step(g, 0, Point2{g.puckPos[0], g.puckPos[1]}, dt);
        g.movePlayer(0);
        g.advancePlay(dt);
    }
    EXPECT_LT(Game::distance2d(tried.rest.x, tried.rest.z, g.puckPos[0], g.puckPos[1]), 3.0f)
        << "tried (" << tried.rest.x << ", " << tried.rest.z << "), played (" << g.puckPos[0] << ", " << g.puckPos[1] << ")";
}

// A puck at rest where no blade of the other team reaches would lie there for good: the
// computer moves it, with the tip of a blade if need be (its goal crease, the goal mouth as
// far out as the goalie's tip touches at all, a far corner, even where only one step of the
// turn has the tip's very edge touch it), and from a figure that can only turn to its ready
// angle through the puck (by the end board, turned the other way as far as -127..127
// allows), from a figure that stands just beyond its blade's reach (in the corner: the
// place it backed off to, to turn clear, still had it brush the puck), from a goalie whose
// blade just touches it (every way to the ready pose brushed it, so it held still for
// good), from a figure whose turn would brush it and whose groove runs on into it (a ram's
// run-up must start clear of it), from a figure turned just past it at its groove's end (it
// backs off to turn, the short way round), and in frames of 1/200 s, where blades leaning
// on it only nudge it.
TEST(ComputerPlayer, MovesARestingPuckThatOnlyItsTeamReaches) {
    struct Spot {
        int team;
        float x, z;
        int poses[2][3] = {{-1, 0, 0}, {-1, 0, 0}};  // figure, slide, angle to start from
        float dt = 1.0f / 60.0f;
    };
    for (const Spot spot : {Spot{0, 1.6f, -84.2f}, Spot{1, 1.0f, 84.6f}, Spot{0, 46.2f, 110.3f},
                            Spot{1, 42.748f, 113.288f, {{8, 0, 85}, {-1, 0, 0}}},
                            Spot{0, -42.531f, -113.407f, {{2, 0, 22}, {-1, 0, 0}}, 1.0f / 200.0f},
                            Spot{1, 27.6f, 116.5f, {{8, 0, 107}, {1, 127, 78}}},
                            Spot{0, -15.97f, -79.68f, {{0, 0, 3}, {2, 28, 43}}, 1.0f / 200.0f},
                            Spot{1, -55.0f, -98.9f, {{11, 113, -127}, {-1, 0, 0}}},
                            Spot{0, 8.3737f, -76.7807f, {{0, 50, 18}, {-1, 0, 0}}},
                            Spot{0, 26.626f, -79.426f, {{4, 0, 123}, {-1, 0, 0}}, 1.0f / 200.0f}}) {
        Rink rink;
        rink.game.puckPos[0] = spot.x;
        rink.game.puckPos[1] = spot.z;
        for (const auto& pose : spot.poses) {
            if (pose[0] < 0) continue;
            rink.game.slide[pose[0]] = rink.game.targetSlide[pose[0]] = pose[1];
            rink.game.angle[pose[0]] = rink.game.targetAngle[pose[0]] = pose[2];
        }
        ComputerPlayer computer(spot.team, ComputerLevel::Hard, 1);
        float moved = 0.0f;
        for (float t = 0.0f; t < 10.0f && moved < 5.0f && rink.game.goalPause < 0.0f; t += spot.dt) {
            rink.frame(computer, spot.dt);
            moved = Game::distance2d(rink.game.puckPos[0], rink.game.puckPos[1], spot.x, spot.z);
        }
        EXPECT_TRUE(moved >= 5.0f || rink.game.goalPause > 0.0f) << "puck left at (" << spot.x << ", " << spot.z << ")";
    }
}

// A puck gliding along the goal line, bound for the band short of it that no blade reaches,
// is met with the goalie's tip while it still passes within touch: let by, it lay there. So
// is one gliding beyond the goalie's sure reach that comes to the band only off a post.
TEST(ComputerPlayer, MeetsAPuckBoundForWhereNoBladeReaches) {
    struct Glide {
        float x, z, vx, vz, dt;
    };
    for (const Glide glide : {Glide{-4.0f, -83.5f, -3.0f, -0.6f, 1.0f / 60.0f}, Glide{0.0f, -83.5f, -3.0f, -0.6f, 1.0f / 60.0f},
                              Glide{-6.46f, -82.85f, 14.88f, -0.77f, 1.0f / 15.0f}}) {
        Rink rink;
        Game& g = rink.game;
        g.puckPos[0] = glide.x;
        g.puckPos[1] = glide.z;
        g.puckVel[0] = glide.vx;
        g.puckVel[1] = glide.vz;
        ComputerPlayer computer(0, ComputerLevel::Hard, 1);
        for (float t = 0.0f; t < 8.0f && g.goalPause < 0.0f; t += glide.dt) rink.frame(computer, glide.dt);
        const Point2 at{g.puckPos[0], g.puckPos[1]};
        EXPECT_TRUE(g.goalPause > 0.0f || bladeReaches(g, 0, at) || bladeReaches(g, 1, at))
            << "from x " << glide.x << " the puck lies at (" << at.x << ", " << at.z << ")";
    }
}

// A goalie whose strike is over walks with the puck again, as it does before its first: a
// stale plan held it wherever no strike was found, even with the puck before its feet.
TEST(ComputerPlayer, AGoalieWhosePlanIsOverWalksWithThePuck) {
    Rink rink;
    Game& g = rink.game;
    ComputerPlayer computer(0, ComputerLevel::Hard, 1);
    g.puckPos[0] = 3.0f;
    g.puckPos[1] = -62.0f;
    for (int k = 0; k < 600 && computer.selected() != 0; ++k) rink.frame(computer, 1.0f / 60.0f);
    ASSERT_EQ(computer.selected(), 0) << "a plan for the goalie is what this needs";
    // In the goal mouth beyond every blade of the team: no strike, and the goalie walks to x -10.
    g.puckPos[0] = -10.0f;
    g.puckPos[1] = -86.5f;
    g.puckVel[0] = g.puckVel[1] = 0.0f;
    for (int k = 0; k < 300; ++k) rink.frame(computer, 1.0f / 60.0f);
    EXPECT_NEAR(g.groovePoint(0, g.slide[0]).x, -10.0f, 1.0f);
}

// Across a lossy link the other machine's puck arrives in jumps half a second apart: it is
// read as moving, on from where it last arrived, not as resting where it lay.
TEST(RemotePuck, ReadsAPuckThatArrivesInJumpsAsMoving) {
    RemotePuck remote;
    float t = 0.0f;
    for (; t < 0.5f; t += 1.0f / 60.0f) EXPECT_EQ(remote.read(t, {0.0f, 0.0f}).vel.x, 0.0f);
    PuckState seen = remote.read(0.5f, {5.0f, -1.0f});
    EXPECT_NEAR(seen.vel.x, 10.0f, 0.01f);
    EXPECT_NEAR(seen.vel.z, -2.0f, 0.01f);
    // A quarter of a second on, with nothing new: where the glide has taken it since.
    seen = remote.read(0.75f, {5.0f, -1.0f});
    EXPECT_NEAR(seen.pos.x, 5.0f + 10.0f * 0.25f, 0.2f);
    EXPECT_LT(seen.vel.x, 10.0f);
    // Nothing new for longer than two lost datagrams: it has stopped where it was seen.
    seen = remote.read(1.7f, {5.0f, -1.0f});
    EXPECT_EQ(seen.pos.x, 5.0f);
    EXPECT_EQ(seen.vel.x, 0.0f);
    // A jump faster than any puck (the centre spot after a goal) is no motion.
    remote.read(2.0f, {5.0f, 40.0f});
    seen = remote.read(2.1f, {0.0f, 0.0f});
    EXPECT_EQ(seen.vel.x, 0.0f);
    EXPECT_EQ(seen.vel.z, 0.0f);
}

TEST(ComputerPlayer, OffStandsStillAndTheLevelsCycle) {
    Rink rink;
    ComputerPlayer off(1, ComputerLevel::Off, 1);
    for (int k = 0; k < 60; ++k) rink.frame(off, 1.0f / 60.0f);
    for (int i = 6; i < 12; ++i) EXPECT_EQ(rink.game.slide[i], i == 6 || i == 8 || i == 10 ? 25 : i == 9 ? 1 : 10);
    EXPECT_EQ(nextComputerLevel(ComputerLevel::Off), ComputerLevel::Easy);
    EXPECT_EQ(nextComputerLevel(ComputerLevel::Hard), ComputerLevel::Off);
    EXPECT_STREQ(computerLevelName(ComputerLevel::Normal), "normal");
}

}  // namespace
