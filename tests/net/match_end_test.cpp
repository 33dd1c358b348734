// The end of a decided network match on both machines, played over the in-memory link.
#include <gtest/gtest.h>

#include "net/net_peers.h"
#include "platform/fake/loop_link.h"
#include "platform/fake/recording_audio.h"

namespace {
constexpr int8_t kEcho = 0x40;  // bit 6 marks a joining machine's byte 22 or 23 as a score echo
}  // namespace

// A decided match ends on both machines by themselves, also when the joining machine found
// the deciding goal itself: its own pause kept the goal reports from being celebrated, but
// the received ten ends its match as well, with the final fanfare.
TEST(Exchange, BothMachinesLeaveADecidedMatchByThemselves) {
    for (const bool joiningFindsIt : {true, false}) {
        ScopedRecordingAudio audio;
        LoopNetwork net({}, 1);
        Game creating, joining;
        creating.link = &net.creating();
        joining.link = &net.joining();
        ASSERT_TRUE(creating.link->openServer(6116));
        ASSERT_TRUE(joining.link->openClient(6116, "127.000.000.001"));
        startNetworkMatch(creating, Create);
        startNetworkMatch(joining, Join);
        joining.soundOn = 1;
        for (int i = 0; i < 6; ++i) joining.samples[i] = 100 + i;
        double t = 0.0;
        auto frame = [&] {
            t += kDt;
            net.setTime(t);
            creating.update(kDt);
            joining.update(kDt);
        };
        creating.flow.screen = joining.flow.screen = Match;
        while (creating.menuPictures[6].visible || joining.menuPictures[6].visible) frame();

        creating.score[0] = 9;
        creating.score[1] = 4;
        // The puck heads into team 1's goal, on the machine that runs it.
        Game& runner = joiningFindsIt ? joining : creating;
        if (!joiningFindsIt) creating.puckOwner = joining.puckOwner = 1;
        runner.puckPos[0] = 8.0f;
        runner.puckPos[1] = 84.0f;
        runner.puckVel[0] = 0.0f;
        runner.puckVel[1] = 40.0f;

        double creatingLeft = -1.0, joiningLeft = -1.0;
        while ((creatingLeft < 0.0 || joiningLeft < 0.0) && t < 10.0) {
            frame();
            if (creatingLeft < 0.0 && creating.flow.screen != Match) creatingLeft = t;
            if (joiningLeft < 0.0 && joining.flow.screen != Match) joiningLeft = t;
        }
        const char* which = joiningFindsIt ? "found by the joining machine" : "found by the creating machine";
        ASSERT_GT(creatingLeft, 0.0) << which;
        ASSERT_GT(joiningLeft, 0.0) << which;
        EXPECT_NEAR(joiningLeft, creatingLeft, 0.1) << which;  // one exchange apart
        EXPECT_EQ(creating.score[0], 10) << which;
        EXPECT_EQ(joining.score[0], 10) << which;
        EXPECT_EQ(joining.score[1], 4) << which;
        EXPECT_EQ(joining.flow.sessionOpen, 0) << which;
        const auto plays = audio->callsStartingWith("samplePlay");
        ASSERT_EQ(plays.size(), 2u) << which;
        EXPECT_EQ(plays[1], "samplePlay(105)") << which;
    }
}

// A decided match stays on the creating machine while the joining machine's datagrams echo
// a score short of ten (its answers may all have been lost), 5 s longer at most; a joining
// machine that echoes nothing is not waited for.
TEST(CreatingExchange, DecidedMatchWaitsForTheJoiningMachineToHaveTheFinalScore) {
    struct Case {
        const char* name;
        bool echoes;
        double tenHeardAt;  // seconds after the goal; < 0: never
        double leavesAt;
    };
    const Case cases[] = {{"no echo", false, -1.0, 3.5}, {"heard at once", true, 0.0, 3.5},
                          {"heard late", true, 6.0, 6.0}, {"never heard", true, -1.0, 8.5}};
    for (const Case& c : cases) {
        LoopNetwork net({}, 1);
        Game creating;
        creating.link = &net.creating();
        ASSERT_TRUE(creating.link->openServer(6116));
        ASSERT_TRUE(net.joining().openClient(6116, "127.000.000.001"));
        startNetworkMatch(creating, Create);
        creating.flow.screen = Match;
        creating.puckOwner = 1;
        creating.score[0] = 9;
        creating.scoreGoal(1);
        double t = 0.0, left = -1.0;
        while (left < 0.0 && t < 20.0) {
            StateMessage m = poseMessage();
            if (c.echoes) {
                const bool heard = c.tenHeardAt >= 0.0 && t >= c.tenHeardAt;
                m.score[0] = static_cast<int8_t>(kEcho + (heard ? 10 : 9));
                m.score[1] = kEcho;
            }
            Peers::sendRaw(net.joining(), m);
            t += kDt;
            net.setTime(t);
            creating.update(kDt);
            if (creating.flow.screen != Match) left = t;
        }
        EXPECT_NEAR(left, c.leavesAt, 2 * kDt) << c.name;
    }
}
