// Both machines run on one clock: whichever machine's next frame comes first runs next,
// with the time since its own previous frame as dt, and the link delivers by that clock.
#include "network_match.h"

#include "computers.h"
#include "frame_times.h"
#include "goal_audit.h"
#include "stall_watch.h"
#include "tap_link.h"

namespace {

constexpr double kLeaveWait = 10.0;  // game seconds allowed for leaving after the tenth goal
constexpr double kSettleWait = 5.0;  // game seconds for a score on its way to arrive at the cap

struct Machine {
    Machine(DatagramLink& endpoint, FrameTimeSetting setting, uint64_t seed) : tap(endpoint), times(setting, seed) {
        game.link = &tap;
        next = times.next();
    }
    bool inMatch() const { return game.flow.screen == Match; }
    // One frame at time `next`; then the next one is due.
    void frame() {
        game.update(static_cast<float>(next - last));
        last = next;
        next += times.next();
    }

    TapLink tap;
    FrameTimes times;
    Game game;
    double last = 0.0, next = 0.0;
    double leftAt = -1.0;
};

bool decided(const Game& g) { return g.score[0] >= kWinningScore || g.score[1] >= kWinningScore; }
bool sameScore(const Game& a, const Game& b) { return a.score[0] == b.score[0] && a.score[1] == b.score[1]; }

}  // namespace

MatchResult playNetworkMatch(const Options& options, int index, uint64_t seed) {
    MatchResult result;
    result.index = index;
    result.seed = seed;
    result.network = true;

    LoopNetwork net(options.faults, deriveSeed(seed, 2));
    Machine creating(net.creating(), options.frameTimes[0], deriveSeed(seed, 3));
    Machine joining(net.joining(), options.frameTimes[1], deriveSeed(seed, 4));
    const bool creatingTeam[2] = {true, false}, joiningTeam[2] = {false, true};
    Computers creatingComputer(creating.game, options.levels, seed, creatingTeam);
    Computers joiningComputer(joining.game, options.levels, seed, joiningTeam);
    // As the menus do it: the creating machine first, then the joining one.
    creating.game.port = joining.game.port = 6116;
    creating.game.enterMatch(Create);
    joining.game.enterMatch(Join);

    GoalAudit audit;
    StallWatch stall;
    const double cap = options.maxMinutes * 60.0;
    double tenthAt = -1.0;
    for (;;) {
        const bool creatingTurn = creating.inMatch() && (!joining.inMatch() || creating.next <= joining.next);
        Machine& m = creatingTurn ? creating : joining;
        if (!m.inMatch()) break;  // both have left
        net.setTime(m.next);
        m.tap.startFrame();
        if (creatingTurn) {
            audit.beforeCreatingFrame(m.game);
            m.frame();
            audit.afterCreatingFrame(m.game, m.tap);
        } else {
            audit.beforeJoiningFrame(m.game);
            m.frame();
            audit.afterJoiningFrame(m.game, creating.game);
        }
        const double now = m.last;
        if (!m.inMatch()) m.leftAt = now;
        if (tenthAt < 0.0 && decided(creating.game)) tenthAt = now;

        if (tenthAt >= 0.0) {
            if (now - tenthAt > kLeaveWait) break;
        } else if (creatingTurn && stall.observe(creating.game.puckPos[0], creating.game.puckPos[1], now)) {
            result.ending = Ending::Stall;
            break;
        } else if (now >= cap) {
            // Cut in the middle of play: a goal just scored may still be on its way to the
            // joining machine, and is given a few seconds before the scores are compared.
            if (sameScore(creating.game, joining.game) || now >= cap + kSettleWait) break;
        }
    }

    if (tenthAt >= 0.0) result.ending = Ending::Finished;
    result.minutes = (tenthAt >= 0.0 ? tenthAt : net.time()) / 60.0;
    for (int s = 0; s < 2; ++s) {
        result.score[s] = creating.game.score[s];
        result.joiningScore[s] = joining.game.score[s];
    }
    result.puckAt[0] = creating.game.puckPos[0];
    result.puckAt[1] = creating.game.puckPos[1];
    result.leftTogether = tenthAt >= 0.0 && creating.leftAt >= 0.0 && joining.leftAt >= 0.0;
    result.leaveGap = joining.leftAt - creating.leftAt;
    result.goalsLost = audit.lost();
    result.goalsTwice = audit.twice();
    result.goalsOverruled = audit.overruled();
    result.link = net.counts();
    return result;
}
