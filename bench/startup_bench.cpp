// Start-up: from process start to the first presented frame, frostel against the bare
// SDL+GL window, measured the same way for both and alternated in one run. A preloaded
// shim stamps the first buffer swap and ends the process there; the time starts just
// before the spawn. The figure is the ratio of the medians.
//
// Under Wine (--wine) the two are Windows programs that stamp their own first Present
// (first_present_stamp.h), started with `wine` in $WINEPREFIX; the time starts just before
// the spawn of `wine`, so Wine's own start-up is in both figures.
//
// Usage: startup_bench [RUNS per program, default 10] [PROGRAM, default frostel]
//        startup_bench --wine RUNS GAME.exe BARE.exe    (from the folder of the game's assets)
// Run under a display, e.g. xvfb-run -a -s "-screen 0 1024x768x24" with LIBGL_ALWAYS_SOFTWARE=1.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "median.h"

extern char** environ;

namespace {

// Wine's performance counter, which the Windows programs stamp with, is CLOCK_MONOTONIC_RAW.
bool g_wine = false;

long long monotonicNanos() {
    timespec now{};
    clock_gettime(g_wine ? CLOCK_MONOTONIC_RAW : CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Milliseconds from the spawn to the first swap, or a negative number on failure.
double timeToFirstPresent(std::string program, std::vector<std::string> args, const char* folder) {
    char stampPattern[] = "/tmp/frostel-startup-XXXXXX";
    const int fd = mkstemp(stampPattern);
    if (fd < 0) return -1;
    close(fd);
    const std::string stamp = stampPattern;

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    if (g_wine) {
        args.insert(args.begin(), program);
        program = "wine";
        env.push_back("FROSTEL_FIRST_PRESENT_FILE=Z:" + stamp);
    } else {
        env.push_back(std::string("LD_PRELOAD=") + FROSTEL_FIRST_PRESENT_SHIM);
        env.push_back("FROSTEL_FIRST_PRESENT_FILE=" + stamp);
    }
    env.push_back("FROSTEL_FIRST_PRESENT_EXIT=1");
    std::vector<char*> envp, argv;
    for (auto& s : env) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::string prog = program;
    argv.push_back(prog.data());
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const long long start = monotonicNanos();
    const int failed = posix_spawnp(&pid, prog.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed) {
        unlink(stamp.c_str());
        return -1;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    long long stamped = 0;
    std::ifstream(stamp) >> stamped;
    unlink(stamp.c_str());
    if (stamped <= 0) return -1;
    return double(stamped - start) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    g_wine = argc > 1 && std::string(argv[1]) == "--wine";
    if (g_wine && argc < 5) {
        std::fprintf(stderr, "usage: startup_bench --wine RUNS GAME.exe BARE.exe\n");
        return 2;
    }
    if (g_wine) ++argv, --argc;
    const int runs = argc > 1 ? std::atoi(argv[1]) : 10;
    const std::string name = g_wine ? "frostel.exe" : argc > 2 ? argv[2] : "frostel";
    const std::string runDir = g_wine ? std::filesystem::current_path().string() : FROSTEL_RUN_DIR;
    const std::string game = g_wine ? argv[2] : runDir + "/" + name;
    const std::string bare = g_wine ? argv[3] : FROSTEL_BARE_WINDOW;
    const std::vector<std::string> bareArgs =
        name == "frostel_640" ? std::vector<std::string>{"0", "640", "480"} : std::vector<std::string>{"0"};

    std::vector<double> gameTimes, bareTimes;
    for (int i = 0; i < runs; ++i) {
        const double b = timeToFirstPresent(bare, bareArgs, runDir.c_str());
        const double g = timeToFirstPresent(game, {}, runDir.c_str());
        if (b < 0 || g < 0) {
            std::fprintf(stderr, "startup_bench: run %d failed (bare %.1f, %s %.1f)\n", i + 1, b, name.c_str(), g);
            return 1;
        }
        bareTimes.push_back(b);
        gameTimes.push_back(g);
        std::printf("run %d: %s %.1f ms, bare window %.1f ms\n", i + 1, name.c_str(), g, b);
    }
    std::printf("start-up to first presented frame: %s %.1f ms, bare %s window %.1f ms, ratio %.2f (medians of %d)\n",
                name.c_str(), median(gameTimes), g_wine ? "Direct3D 9" : "SDL+GL", median(bareTimes),
                median(gameTimes) / median(bareTimes), runs);
    return 0;
}
