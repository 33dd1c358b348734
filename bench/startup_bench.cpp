// Start-up: from process start to the first presented frame, frostel against the bare
// SDL+GL window, measured the same way for both and alternated in one run. A preloaded
// shim stamps the first buffer swap and ends the process there; the time starts just
// before the spawn. The figure is the ratio of the medians.
//
// Usage: startup_bench [RUNS per program, default 10] [PROGRAM, default frostel]
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
#include <fstream>
#include <string>
#include <vector>

#include "median.h"

extern char** environ;

namespace {

long long monotonicNanos() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Milliseconds from the spawn to the first swap, or a negative number on failure.
double timeToFirstPresent(const std::string& program, const std::vector<std::string>& args, const char* folder) {
    char stampPattern[] = "/tmp/frostel-startup-XXXXXX";
    const int fd = mkstemp(stampPattern);
    if (fd < 0) return -1;
    close(fd);
    const std::string stamp = stampPattern;

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    env.push_back(std::string("LD_PRELOAD=") + FROSTEL_FIRST_PRESENT_SHIM);
    env.push_back("FROSTEL_FIRST_PRESENT_FILE=" + stamp);
    env.push_back("FROSTEL_FIRST_PRESENT_EXIT=1");
    std::vector<char*> envp, argv;
    for (auto& s : env) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::string prog = program;
    argv.push_back(prog.data());
    std::vector<std::string> argsCopy = args;
    for (auto& a : argsCopy) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const long long start = monotonicNanos();
    const int failed = posix_spawn(&pid, prog.c_str(), &actions, nullptr, argv.data(), envp.data());
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
    const int runs = argc > 1 ? std::atoi(argv[1]) : 10;
    const std::string name = argc > 2 ? argv[2] : "frostel";
    const std::string runDir = FROSTEL_RUN_DIR;
    const std::string game = runDir + "/" + name;
    const std::vector<std::string> bareArgs =
        name == "frostel_640" ? std::vector<std::string>{"0", "640", "480"} : std::vector<std::string>{"0"};

    std::vector<double> gameTimes, bareTimes;
    for (int i = 0; i < runs; ++i) {
        const double b = timeToFirstPresent(FROSTEL_BARE_WINDOW, bareArgs, runDir.c_str());
        const double g = timeToFirstPresent(game, {}, runDir.c_str());
        if (b < 0 || g < 0) {
            std::fprintf(stderr, "startup_bench: run %d failed (bare %.1f, %s %.1f)\n", i + 1, b, name.c_str(), g);
            return 1;
        }
        bareTimes.push_back(b);
        gameTimes.push_back(g);
        std::printf("run %d: %s %.1f ms, bare window %.1f ms\n", i + 1, name.c_str(), g, b);
    }
    std::printf("start-up to first presented frame: %s %.1f ms, bare SDL+GL window %.1f ms, ratio %.2f (medians of %d)\n",
                name.c_str(), median(gameTimes), median(bareTimes), median(gameTimes) / median(bareTimes), runs);
    return 0;
}
