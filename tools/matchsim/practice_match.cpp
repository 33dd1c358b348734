// A practice match as the menus start it, played frame by frame with no input: the
// computers do all the steering.
#include "practice_match.h"

#include "computers.h"
#include "frame_times.h"
#include "stall_watch.h"

namespace {
constexpr double kLeaveWait = 10.0;  // game seconds allowed for leaving after the tenth goal
}  // namespace

MatchResult playPracticeMatch(const Options& options, int index, uint64_t seed) {
    MatchResult result;
    result.index = index;
    result.seed = seed;

    Game game;
    const bool bothTeams[2] = {true, true};
    Computers computers(game, options.levels, seed, bothTeams);
    game.enterMatch(Practice);
    FrameTimes times(options.frameTimes[0], deriveSeed(seed, 1));
    StallWatch stall;
    const double cap = options.maxMinutes * 60.0;
    double now = 0.0, tenthAt = -1.0;

    for (;;) {
        const double dt = times.next();
        now += dt;
        game.update(static_cast<float>(dt));
        if (tenthAt < 0.0 && (game.score[0] >= kWinningScore || game.score[1] >= kWinningScore)) tenthAt = now;
        if (game.flow.screen != Match) {
            result.leftTogether = tenthAt >= 0.0;
            break;
        }
        if (tenthAt >= 0.0) {
            if (now - tenthAt > kLeaveWait) break;
        } else if (stall.observe(game.puckPos[0], game.puckPos[1], now)) {
            result.ending = Ending::Stall;
            break;
        } else if (now >= cap) {
            break;
        }
    }
    if (tenthAt >= 0.0) result.ending = Ending::Finished;
    result.minutes = (tenthAt >= 0.0 ? tenthAt : now) / 60.0;
    result.puckAt[0] = game.puckPos[0];
    result.puckAt[1] = game.puckPos[1];
    result.score[0] = game.score[0];
    result.score[1] = game.score[1];
    return result;
}
