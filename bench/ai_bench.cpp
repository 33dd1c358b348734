// The computer player's decision: what one frame of steering a whole team costs, against a
// team that stands still, over a long stretch of play. Most frames only steer; a few look
// afresh or try strikes on a copy of the rink, so the median is the figure to watch (the
// mean and the slowest frame are reported beside it).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "ai/computer_player.h"
#include "median.h"
#include "sim/game.h"

namespace {

void BM_ComputerTeamFrame(benchmark::State& state) {
    const auto level = static_cast<ComputerLevel>(state.range(0));
    Game g;
    g.resetFaceOff();
    g.puckOwner = 1;
    ComputerPlayer computer(0, level, 1);
    std::vector<double> micros;
    micros.reserve(1 << 20);
    const float dt = 1.0f / 60.0f;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        computer.steer(g, dt);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        micros.push_back(seconds * 1e6);
        for (int i = 0; i < 6; ++i) g.movePlayer(i);
        g.advancePlay(dt);
        if (g.score[0] >= kWinningScore) g.resetFaceOff();
    }
    state.counters["median_us"] = median(micros);
    state.counters["max_us"] = micros.empty() ? 0.0 : *std::max_element(micros.begin(), micros.end());
}
BENCHMARK(BM_ComputerTeamFrame)->Arg(1)->Arg(2)->Arg(3)->UseManualTime()->Unit(benchmark::kMicrosecond)
    ->Iterations(36000);  // ten minutes of play at 60 frames a second

}  // namespace
