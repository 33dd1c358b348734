// One match simulation frame, and the start-up load from the generated assets.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "graphics/graphics_device.h"
#include "platform/fake/recording_device.h"
#include "sim/game.h"

namespace {

// Twelve figures driven back and forth around their face-off places, the puck among them.
void BM_MatchSimulationFrame(benchmark::State& state) {
    Game g;
    g.resetFaceOff();
    g.soundOn = 1;  // the silent audio system takes the plays
    int frame = 0;
    for (auto _ : state) {
        const int swing = (frame++ & 8) ? 6 : -6;
        for (int i = 0; i < 12; ++i) {
            g.targetSlide[i] = g.slide[i] + swing;
            g.targetAngle[i] = g.angle[i] - swing;
            g.slideDelta[i] = swing;
            g.angleDelta[i] = -swing;
        }
        bool contact = false;
        for (int i = 0; i < 12; ++i) contact |= g.movePlayer(i);
        benchmark::DoNotOptimize(contact);
        benchmark::DoNotOptimize(g.stepPuck(1.0f / 60.0f));
        g.puckImpulse[0] = g.puckImpulse[1] = 0.0f;
        if (frame % 64 == 0) {  // back into the crowd around the centre
            g.puckPos[0] = 4.0f;
            g.puckPos[1] = -6.0f;
            g.puckVel[0] = 30.0f;
            g.puckVel[1] = -20.0f;
        }
        for (float& c : g.sampleCooldown)
            if (c < 3.0f) c += 1.0f / 60.0f;
    }
}
BENCHMARK(BM_MatchSimulationFrame);

// The registries keep what they loaded for the whole process, so each load runs in a
// fresh child; only the load itself is timed.
void BM_GameLoadFromGeneratedAssets(benchmark::State& state) {
    const std::filesystem::path run = FROSTEL_RUN_DIR;
    if (!std::filesystem::exists(run / "hplayer_h.x")) {
        state.SkipWithError("no generated assets in the run folder");
        return;
    }
    std::filesystem::current_path(run);
    for (auto _ : state) {
        int fds[2];
        if (pipe(fds) != 0) break;
        const pid_t pid = fork();
        if (pid == 0) {
            close(fds[0]);
            Recorder recorder;
            recorder.keepLog = false;
            installRecordingSystem(&recorder);
            GraphicsDevice graphics;
            if (!graphics.init(nullptr, 1024, 768)) _exit(1);
            Game g;
            const auto start = std::chrono::steady_clock::now();
            const bool ok = g.load(nullptr);
            double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (!ok) seconds = -1.0;
            ssize_t written = write(fds[1], &seconds, sizeof seconds);
            _exit(written == sizeof seconds ? 0 : 1);
        }
        close(fds[1]);
        double seconds = -1.0;
        ssize_t got = read(fds[0], &seconds, sizeof seconds);
        close(fds[0]);
        waitpid(pid, nullptr, 0);
        if (got != sizeof seconds || seconds < 0) {
            state.SkipWithError("the load failed");
            break;
        }
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_GameLoadFromGeneratedAssets)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
