#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "net/net_peers.h"
#include "platform/fake/recording_audio.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr int8_t kEcho = 0x40;  // bit 6 marks a joining machine's byte 22 or 23 as a score echo

void sendBytes(UdpLink& from, int length, uint8_t fill) {
    std::vector<uint8_t> bytes(length, fill);
    ASSERT_EQ(from.send(bytes.data(), length), length);
}

void sendWithFloats(UdpLink& from, float x, float z, int8_t owner) {
    StateMessage m = poseMessage(40);  // poses that would show if it were taken
    m.x = x;
    m.z = z;
    m.owner = owner;
    m.goal = 1;
    Peers::sendRaw(from, m);
}

}  // namespace

// The creating machine never speaks first, answers each usable datagram in the frame it
// reads it, reads one per frame, and ignores wrong lengths and non-finite floats.
TEST(CreatingExchange, RepliesOnlyToUsableDatagramsOnePerFrame) {
    Peers p;
    for (int i = 0; i < 60; ++i) p.creatingFrame();
    EXPECT_TRUE(p.creating.menuPictures[6].visible);
    EXPECT_TRUE(Peers::quiet(p.joiningLink, 20));

    StateMessage first = poseMessage(1), second = poseMessage(2);
    p.sendAsJoining(first);
    p.sendAsJoining(second);
    sendBytes(p.joiningLink, 23, 0);
    sendWithFloats(p.joiningLink, kNaN, 0.0f, 0);
    sendBytes(p.joiningLink, 25, 0);
    sendWithFloats(p.joiningLink, 1.0f, -kInf, 0);
    sendBytes(p.joiningLink, 0, 0);

    // Frames from a datagram's arrival to its answer leaving: the answer is queued
    // before the frame that read the datagram returns.
    p.creatingFrame();
    StateMessage reply;
    const int framesToReply = Peers::take(p.joiningLink, reply, 0) ? 0 : -1;
    EXPECT_EQ(framesToReply, 0);
    std::printf("creating machine: frames from arrival to reply = %d\n", framesToReply);
    ::testing::Test::RecordProperty("creating_frames_to_reply", framesToReply);
    EXPECT_FALSE(p.creating.menuPictures[6].visible);
    EXPECT_EQ(p.creating.slide[6], 26);  // the first datagram only
    EXPECT_EQ(p.creating.slide[11], 11);

    p.creatingFrame();
    EXPECT_EQ(p.creating.slide[6], 27);  // the second, one frame later
    EXPECT_TRUE(Peers::take(p.joiningLink, reply, 0));
    EXPECT_TRUE(Peers::quiet(p.joiningLink, 0));

    for (int i = 0; i < 40; ++i) p.creatingFrame();  // the five unusable ones and then quiet
    EXPECT_TRUE(Peers::quiet(p.joiningLink, 20));
    EXPECT_EQ(p.creating.slide[6], 27);
    EXPECT_EQ(p.creating.puckOwner, 2);
    EXPECT_EQ(p.creating.score[0] + p.creating.score[1], 0);  // the goal bytes of the bad ones counted nothing
}

TEST(JoiningExchange, AnswersAtOnceReadsOnePerFrameAndIgnoresUnusableDatagrams) {
    Peers p;
    p.introduce();
    sendBytes(p.creatingLink, 23, 0);
    sendWithFloats(p.creatingLink, kInf, 0.0f, 1);
    sendWithFloats(p.creatingLink, 0.0f, kNaN, 1);
    sendBytes(p.creatingLink, 99, 1);
    for (int i = 0; i < 4; ++i) p.joiningFrame();
    EXPECT_TRUE(p.joining.menuPictures[6].visible);
    EXPECT_NEAR(p.joining.flow.clientResendTimer, 4 * kDt, 1e-6);  // never reset by them
    EXPECT_EQ(p.joining.puckOwner, 2);
    EXPECT_EQ(p.joining.slide[0], 25);
    EXPECT_TRUE(Peers::quiet(p.creatingLink, 10));

    StateMessage a = poseMessage(3), b = poseMessage(4);
    a.owner = b.owner = 2;
    a.score[0] = 4;
    b.score[0] = 5;
    p.sendAsCreating(a);
    p.sendAsCreating(b);
    p.joiningFrame();
    StateMessage reply;
    const int framesToReply = Peers::take(p.creatingLink, reply, 0) ? 0 : -1;
    EXPECT_EQ(framesToReply, 0);
    std::printf("joining machine: frames from arrival to reply = %d\n", framesToReply);
    ::testing::Test::RecordProperty("joining_frames_to_reply", framesToReply);
    EXPECT_FALSE(p.joining.menuPictures[6].visible);
    EXPECT_NEAR(p.joining.flow.clientResendTimer, kDt, 1e-6);
    EXPECT_EQ(p.joining.slide[0], 28);
    EXPECT_EQ(p.joining.score[0], 4);
    // Its own team and its own puck, since it owns the puck.
    EXPECT_EQ(reply.slide[0], 25);
    EXPECT_EQ(reply.angle[0], 96);
    EXPECT_EQ(reply.owner, 2);  // its floats are its own puck's place
    EXPECT_EQ(reply.x, p.joining.puckPos[0]);
    EXPECT_EQ(reply.z, p.joining.puckPos[1]);
    EXPECT_EQ(reply.score[0], kEcho + 4);  // the scores it now shows, echoed
    EXPECT_EQ(reply.score[1], kEcho);

    p.joiningFrame();
    EXPECT_EQ(p.joining.slide[0], 29);
    EXPECT_EQ(p.joining.score[0], 5);
}

TEST(JoiningExchange, ResendsEveryHalfSecondWhileNothingArrives) {
    Peers p;
    const float dt = 0.01f;
    p.joining.puckPos[0] = 7.0f;  // at rest, so its step leaves it there
    std::vector<int> arrivals;
    for (int frame = 1; frame <= 300; ++frame) {
        p.joiningFrame(dt);
        StateMessage m;
        if (Peers::take(p.creatingLink, m, 0)) {
            arrivals.push_back(frame);
            EXPECT_EQ(m.slide[0], 25);
            EXPECT_EQ(m.x, 7.0f);
        }
        if (frame == 220) {  // an answer arrives: the timer starts over from it
            p.sendAsCreating(poseMessage());
        }
    }
    // One every 0.5 s and a bit (the timer must exceed 0.5), restarted by the answer.
    ASSERT_GE(arrivals.size(), 6u);
    EXPECT_GE(arrivals[0], 50);
    EXPECT_LE(arrivals[0], 51);
    for (size_t i = 1; i < arrivals.size(); ++i) {
        if (arrivals[i] == 221) continue;  // the answer to the datagram sent at frame 220
        const int gap = arrivals[i] - arrivals[i - 1];
        EXPECT_TRUE(gap == 50 || gap == 51) << "gap " << gap << " before frame " << arrivals[i];
    }
    EXPECT_NE(std::find(arrivals.begin(), arrivals.end(), 221), arrivals.end());
}

TEST(Exchange, PairConnectsAndBothIndicatorsGo) {
    for (const bool padded : {false, true}) {
        // The padded text must reach 127.0.0.10, not the octal 127.0.0.8.
        Peers p(padded ? "127.0.0.10" : nullptr, padded ? "127.000.000.010" : "127.000.000.001");
        int frames = 0;
        while ((p.creating.menuPictures[6].visible || p.joining.menuPictures[6].visible) && frames < 100) {
            p.frame();
            ++frames;
        }
        // The first resend leaves after 0.5 s; the creating machine reads it the next frame
        // and its answer reaches the joining machine in that same frame.
        EXPECT_LE(frames, 32) << (padded ? "padded" : "plain");
        EXPECT_FALSE(p.creating.menuPictures[6].visible);
        EXPECT_FALSE(p.joining.menuPictures[6].visible);

        // From then on every frame carries one datagram each way: poses follow in one frame.
        p.joining.slide[7] = 60;
        p.creating.slide[2] = 70;
        p.frame();
        p.frame();
        EXPECT_EQ(p.creating.slide[7], 60);
        EXPECT_EQ(p.joining.slide[2], 70);
    }
}

// A strike from the joining side over 0.05 in either axis hands the puck over, unless a
// creating-machine player touched the puck in the frame the datagram is handled.
TEST(CreatingExchange, StrikeOverThresholdHandsOverUnlessOwnContact) {
    struct Case {
        float x, z;
        bool ownContact;
        int owner;
        int8_t says;  // byte 20: 0 as older joining machines write it, 1 a strike, 2 a place
    };
    const Case cases[] = {{0.2f, 0.0f, false, 2, 0}, {0.0f, -0.06f, false, 2, 1}, {0.05f, -0.05f, false, 1, 1},
                          {0.2f, 0.0f, true, 1, 0},  {0.0f, 0.0f, false, 1, 0},   {30.0f, -60.0f, false, 1, 2}};
    for (const Case& c : cases) {
        Peers p;
        p.creating.puckOwner = 1;
        p.creating.puckPos[0] = 5.0f;
        StateMessage m = poseMessage();
        m.x = c.x;
        m.z = c.z;
        m.owner = c.says;
        p.sendAsJoining(m);
        p.creatingFrame(c.ownContact, 0.1f);
        EXPECT_EQ(p.creating.puckOwner, c.owner) << c.x << "," << c.z << " contact " << c.ownContact;
        StateMessage reply;
        ASSERT_TRUE(Peers::take(p.joiningLink, reply));
        EXPECT_EQ(reply.owner, c.owner);
        EXPECT_EQ(p.creating.puckImpulse[0], 0.0f);  // passed to the puck step or dropped
        if (c.owner == 2) {
            EXPECT_EQ(reply.x, 0.0f);
            EXPECT_EQ(reply.z, 0.0f);
            EXPECT_EQ(p.creating.puckPos[0], 5.0f);  // not stepped after handing over
        } else {
            // Kept: the strike went into this frame's puck step. The place of a puck that the
            // joining machine still runs is no strike.
            EXPECT_NEAR(p.creating.puckVel[0], c.says == 2 ? 0.0 : c.x * std::pow(0.8, 0.1), 1e-5);
            EXPECT_EQ(reply.x, p.creating.puckPos[0]);
        }
    }
}

// The puck taken back moves on as it was seen to move on the joining machine, not as this
// machine's copy last moved; a strike between two datagrams takes it back at once, pushed
// once: a puck left for the next datagram would stand under the blade, pushed every frame.
TEST(CreatingExchange, OwnContactTakesThePuckBackAtOnceAndStepsIt) {
    Peers p;
    p.creating.puckVel[0] = 20.0f;  // from when this machine last ran the puck
    StateMessage m = poseMessage();
    m.x = 5.0f;  // the joining machine's puck
    m.z = 0.0f;
    p.sendAsJoining(m);
    p.creatingFrame(false, 0.1f);
    StateMessage reply;
    ASSERT_TRUE(Peers::take(p.joiningLink, reply));
    p.creatingFrame(false, 0.1f);
    m.x = 7.0f;  // 2 units on in 0.2 s
    p.sendAsJoining(m);
    p.creatingFrame(false, 0.1f);
    ASSERT_TRUE(Peers::take(p.joiningLink, reply));
    EXPECT_EQ(reply.owner, 2);

    p.creatingFrame(true, 0.1f);  // a figure standing against the shown puck, nothing received
    EXPECT_EQ(p.creating.puckOwner, 2);
    p.creating.puckImpulse[0] = 3.0f;  // a strike
    p.creatingFrame(true, 0.1f);
    EXPECT_EQ(p.creating.puckOwner, 1);
    const float decay = static_cast<float>(std::pow(0.8, 0.1));
    EXPECT_NEAR(p.creating.puckVel[0], 13.0f * decay, 1e-4);
    EXPECT_NEAR(p.creating.puckPos[0], 7.0f + 13.0f * decay * 0.1f, 1e-4);
    EXPECT_FALSE(Peers::take(p.joiningLink, reply, 0));  // it only ever replies
    p.creatingFrame(true, 0.1f);  // touching again: no second push
    EXPECT_NEAR(p.creating.puckVel[0], 13.0f * decay * decay, 1e-4);

    // The joining machine's next datagram, sent before it could know, still holds its puck's
    // place: from a machine that does not say so (byte 20 = 0), that is no strike either.
    m.x = 30.0f;
    m.owner = 0;
    p.sendAsJoining(m);
    const float ran = p.creating.puckPos[0];
    p.creatingFrame(false, 0.1f);
    EXPECT_EQ(p.creating.puckOwner, 1);
    EXPECT_GT(p.creating.puckPos[0], ran);  // run on here, not flung
    EXPECT_LT(p.creating.puckVel[0], 13.0f);
    ASSERT_TRUE(Peers::take(p.joiningLink, reply));
    EXPECT_EQ(reply.owner, 1);
    EXPECT_EQ(reply.x, p.creating.puckPos[0]);

    // The joining machine gives up its copy and shows the received place.
    p.joining.puckVel[0] = -30.0f;
    p.sendAsCreating(reply);
    p.joiningFrame();
    EXPECT_EQ(p.joining.puckOwner, 1);
    EXPECT_EQ(p.joining.puckPos[0], reply.x);
    EXPECT_EQ(p.joining.puckModel->position.x, reply.x);
}

// A touch in a frame that brings a datagram takes the puck back where the figure met it: the
// place arriving may lie past that figure already, and the puck would go through it.
TEST(CreatingExchange, ATouchTakesThePuckBackWhereItWasMet) {
    Peers p;
    StateMessage m = poseMessage();
    StateMessage reply;
    for (const float x : {5.0f, 7.0f, 20.0f}) {  // 20 units a second, then a datagram lost
        m.x = x;
        p.sendAsJoining(m);
        p.creatingFrame(x == 20.0f, 0.1f);
        ASSERT_TRUE(Peers::take(p.joiningLink, reply));
    }
    EXPECT_EQ(p.creating.puckOwner, 1);
    EXPECT_NEAR(p.creating.puckPos[0], 7.0f + 20.0f * static_cast<float>(std::pow(0.8, 0.1)) * 0.1f, 1e-4);
    EXPECT_EQ(reply.x, p.creating.puckPos[0]);
}

TEST(Exchange, PuckPassesToWhoeverStrikesIt) {
    Peers p;
    while (p.creating.menuPictures[6].visible || p.joining.menuPictures[6].visible) p.frame();
    EXPECT_EQ(p.creating.puckOwner, 2);
    EXPECT_EQ(p.joining.puckOwner, 2);

    p.frame(true);  // a creating-machine player touches the puck
    EXPECT_EQ(p.creating.puckOwner, 1);
    EXPECT_EQ(p.joining.puckOwner, 1);  // told in the same frame's answer

    // The puck glides on the creating machine; the joining machine reads its motion.
    p.creating.puckVel[1] = 20.0f;
    for (int k = 0; k < 3; ++k) p.frame();

    // The joining side strikes: its impulse travels, the puck comes to it.
    p.joining.puckImpulse[0] = 3.0f;
    p.joiningFrame();  // nothing new from the creating machine: the impulse waits
    p.creatingFrame();
    EXPECT_EQ(p.creating.puckOwner, 1);
    p.joining.puckImpulse[0] = 3.0f;
    p.joiningFrame();
    EXPECT_EQ(p.joining.puckImpulse[0], 0.0f);  // sent
    p.creatingFrame();
    EXPECT_EQ(p.creating.puckOwner, 2);
    EXPECT_EQ(p.creating.puckImpulse[0], 0.0f);
    // A strike sent before the joining machine heard of it is no place for the puck.
    const float shown = p.creating.puckPos[0];
    StateMessage late = poseMessage();
    late.x = 0.3f;
    late.owner = 1;
    p.sendAsJoining(late);
    p.creatingFrame();
    EXPECT_EQ(p.creating.puckPos[0], shown);
    // The strike that took the puck over starts it on the motion it had there, not on
    // what this copy last had; the copy is stepped at once.
    p.joining.puckVel[0] = -30.0f;
    const float before[2] = {p.joining.puckPos[0], p.joining.puckPos[1]};
    p.joiningFrame();
    EXPECT_EQ(p.joining.puckOwner, 2);
    const float decay = static_cast<float>(std::pow(0.8, kDt));
    EXPECT_NEAR(p.joining.puckVel[0], 3.0f * decay, 1e-3);
    EXPECT_GT(p.joining.puckVel[1], 5.0f);  // read from the places, over this machine's frames
    EXPECT_GT(p.joining.puckPos[0], before[0]);
    EXPECT_GT(p.joining.puckPos[1], before[1]);
}

// A goal the joining machine reports is credited once: the puck comes back with it and
// later reports read as impulses. Goal bytes other than 1 and 2 are no goal.
TEST(CreatingExchange, GoalInByte21IsCountedOnce) {
    Peers p;
    StateMessage m = poseMessage();
    m.x = 3.0f;
    m.z = 88.0f;
    for (int8_t notAGoal : {int8_t{3}, int8_t{-1}, int8_t{0}}) {
        m.goal = notAGoal;
        p.sendAsJoining(m);
        p.creatingFrame();
        EXPECT_EQ(p.creating.puckOwner, 2);
        EXPECT_EQ(p.creating.puckPos[1], 88.0f);
        Peers::drop(p.joiningLink);
    }
    EXPECT_EQ(p.creating.score[0] + p.creating.score[1], 0);

    m.goal = 1;
    for (int i = 0; i < 3; ++i) {
        p.sendAsJoining(m);
        p.creatingFrame();
        if (i == 0) {
            EXPECT_EQ(p.creating.puckModel->position.y, -1.5f);
        }
        EXPECT_EQ(p.creating.score[0], 1);
        EXPECT_EQ(p.creating.score[1], 0);
        EXPECT_EQ(p.creating.puckOwner, 1);
        StateMessage reply;
        ASSERT_TRUE(Peers::take(p.joiningLink, reply));
        EXPECT_EQ(reply.owner, 1);
        EXPECT_EQ(reply.goal, 1);
        EXPECT_EQ(reply.score[0], 1);
        EXPECT_EQ(reply.score[1], 0);
    }
    // The pause runs out on the creating machine: the puck back on the spot, play goes on.
    for (int i = 0; i < 100; ++i) p.creatingFrame();
    EXPECT_EQ(p.creating.flow.lastGoalSide, 0);
    EXPECT_LT(p.creating.goalPause, 0.0f);
    EXPECT_EQ(p.creating.puckPos[0], 0.0f);
    EXPECT_EQ(p.creating.score[0], 1);

    // Its answers lost, the joining machine goes on reporting that goal, echoing the score
    // from before it. The report is no strike, and it is not credited again even once the
    // puck has gone back to the joining machine; a new goal echoes the score as it stands.
    m.score[0] = m.score[1] = kEcho;
    p.sendAsJoining(m);
    p.creatingFrame();
    EXPECT_EQ(p.creating.puckOwner, 1);
    EXPECT_EQ(p.creating.puckPos[1], 0.0f);
    Peers::drop(p.joiningLink);
    p.creating.puckOwner = 2;
    p.sendAsJoining(m);
    p.creatingFrame();
    EXPECT_EQ(p.creating.score[0], 1);
    Peers::drop(p.joiningLink);
    m.score[0] = kEcho + 1;
    p.sendAsJoining(m);
    p.creatingFrame();
    EXPECT_EQ(p.creating.score[0], 2);
}

TEST(JoiningExchange, CelebratesACreatingGoalOnceAndShowsTheLastScores) {
    ScopedRecordingAudio audio;
    Peers p;
    p.joining.soundOn = 1;
    for (int i = 0; i < 6; ++i) p.joining.samples[i] = 100 + i;
    p.joining.puckOwner = 1;
    p.introduce();

    auto fromCreating = [&](int8_t goal, int8_t s1, int8_t s2) {
        StateMessage m = poseMessage();
        m.owner = 1;
        m.goal = goal;
        m.score[0] = s1;
        m.score[1] = s2;
        p.sendAsCreating(m);
    };
    fromCreating(2, 0, 1);
    p.joiningFrame();
    EXPECT_FLOAT_EQ(p.joining.goalPause, 1.6f);
    EXPECT_EQ(audio->callsStartingWith("samplePlay"), (std::vector<std::string>{"samplePlay(103)", "samplePlay(104)"}));
    fromCreating(2, 0, 1);
    p.joiningFrame();
    EXPECT_EQ(audio->callsStartingWith("samplePlay").size(), 2u);  // the same goal: no more sound
    EXPECT_FLOAT_EQ(p.joining.goalPause, 1.6f);                    // and no countdown here
    fromCreating(0, 0, 1);
    p.joiningFrame();
    EXPECT_EQ(p.joining.goalPause, -1.0f);

    // Scores exactly as last received; a lost datagram only delays them.
    fromCreating(0, 2, 3);
    p.joiningFrame();
    fromCreating(0, 4, 5);
    Peers::drop(p.joiningLink);
    p.joiningFrame();
    EXPECT_EQ(p.joining.score[0], 2);
    EXPECT_EQ(p.joining.score[1], 3);

    fromCreating(1, 10, 3);  // the deciding goal
    p.joiningFrame();
    EXPECT_EQ(p.joining.score[0], 10);
    EXPECT_FLOAT_EQ(p.joining.goalPause, 8.5f);
    EXPECT_FLOAT_EQ(p.joining.flow.matchEndCountdown, 3.5f);
    const auto plays = audio->callsStartingWith("samplePlay");
    ASSERT_EQ(plays.size(), 4u);
    EXPECT_EQ(plays[2], "samplePlay(103)");
    EXPECT_EQ(plays[3], "samplePlay(105)");

    // A goal this machine found itself holds its own pause: the creating machine's
    // reports of it make no sound here.
    Peers q;
    q.joining.soundOn = 1;
    q.introduce();
    q.joining.goalPause = 1.5f;
    q.joining.flow.lastGoalSide = 1;
    StateMessage back = poseMessage();
    back.owner = 1;
    back.goal = 1;
    q.sendAsCreating(back);
    q.joiningFrame();
    EXPECT_EQ(q.joining.puckOwner, 1);
    q.sendAsCreating(back);
    q.joiningFrame();
    EXPECT_EQ(audio->callsStartingWith("samplePlay").size(), 4u);
    back.goal = 0;
    q.sendAsCreating(back);
    q.joiningFrame();
    EXPECT_EQ(q.joining.goalPause, -1.0f);
}

// The joining machine finds a goal with its own puck; both screens end up with 1:0.
TEST(Exchange, GoalFoundByTheJoiningMachineIsCreditedOnceOnBothScreens) {
    Peers p;
    while (p.creating.menuPictures[6].visible || p.joining.menuPictures[6].visible) p.frame();
    p.joining.puckPos[0] = 8.0f;
    p.joining.puckPos[1] = 84.0f;
    p.joining.puckVel[0] = 0.0f;
    p.joining.puckVel[1] = 40.0f;
    int frames = 0;
    while (p.joining.flow.lastGoalSide == 0 && frames < 30) {
        p.frame();
        ++frames;
    }
    ASSERT_EQ(p.joining.flow.lastGoalSide, 1) << "the puck never went in";
    EXPECT_FLOAT_EQ(p.joining.goalPause, 1.5f);
    for (int i = 0; i < 180; ++i) p.frame();  // 3 s: through the creating machine's pause
    EXPECT_EQ(p.creating.score[0], 1);
    EXPECT_EQ(p.creating.score[1], 0);
    EXPECT_EQ(p.joining.score[0], 1);
    EXPECT_EQ(p.joining.score[1], 0);
    EXPECT_EQ(p.creating.puckOwner, 1);
    EXPECT_EQ(p.joining.puckOwner, 1);
    EXPECT_EQ(p.joining.goalPause, -1.0f);  // ended by the creating machine's word
    EXPECT_EQ(p.joining.puckPos[0], 0.0f);  // the puck shown back on the spot
    EXPECT_EQ(p.joining.puckPos[1], 0.0f);
}
