#include "options.h"

#include <cstdlib>
#include <cstring>

namespace {

bool parseLevel(const std::string& text, ComputerLevel& out) {
    for (int i = 0; i < 4; ++i) {
        const auto level = static_cast<ComputerLevel>(i);
        if (text == computerLevelName(level)) {
            out = level;
            return true;
        }
    }
    return false;
}

bool parseShare(const std::string& text, double& out) {
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size() && out >= 0.0 && out <= 1.0;
}

bool parseCount(const std::string& text, long long lo, long long hi, long long& out) {
    char* end = nullptr;
    out = std::strtoll(text.c_str(), &end, 10);
    return !text.empty() && end == text.c_str() + text.size() && out >= lo && out <= hi;
}

}  // namespace

const char* usageText() {
    return "usage: matchsim [--mode practice|network] [--levels A:B] [--matches N] [--seed S]\n"
           "                [--loss P] [--delay P] [--max-delay SECONDS]\n"
           "                [--dt T] [--dt-create T] [--dt-join T] [--max-minutes M]\n"
           "  A, B: off, easy, normal or hard, for team 0 and team 1 (network: the creating\n"
           "        and the joining machine); off stands still\n"
           "  --loss: share of datagrams dropped, each way; --delay: share of the rest held\n"
           "        back 0.01 s up to --max-delay, so that later ones overtake them\n"
           "  T: a frame time in seconds (0.005 or 1/200) or jitter (1/200 to 1/10 s);\n"
           "        --dt sets both machines\n";
}

bool parseOptions(int argc, char** argv, Options& out, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc) {
            error = "missing value for " + name;
            return false;
        }
        const std::string value = argv[++i];
        bool ok = true;
        long long n = 0;
        if (name == "--mode") {
            ok = value == "practice" || value == "network";
            out.network = value == "network";
        } else if (name == "--levels") {
            const size_t colon = value.find(':');
            ok = colon != std::string::npos && parseLevel(value.substr(0, colon), out.levels[0]) &&
                 parseLevel(value.substr(colon + 1), out.levels[1]);
        } else if (name == "--matches") {
            ok = parseCount(value, 1, 1000000, n);
            out.matches = static_cast<int>(n);
        } else if (name == "--seed") {
            ok = parseCount(value, 0, 1ll << 53, n);
            out.seed = static_cast<uint64_t>(n);
        } else if (name == "--loss") {
            ok = parseShare(value, out.faults.drop);
        } else if (name == "--delay") {
            ok = parseShare(value, out.faults.delay);
        } else if (name == "--max-delay") {
            ok = parseShare(value, out.faults.maxDelay) && out.faults.maxDelay >= 0.01;
        } else if (name == "--dt") {
            ok = parseFrameTime(value, out.frameTimes[0]);
            out.frameTimes[1] = out.frameTimes[0];
        } else if (name == "--dt-create") {
            ok = parseFrameTime(value, out.frameTimes[0]);
        } else if (name == "--dt-join") {
            ok = parseFrameTime(value, out.frameTimes[1]);
        } else if (name == "--max-minutes") {
            ok = parseCount(value, 1, 600, n);
            out.maxMinutes = static_cast<double>(n);
        } else {
            error = "unknown option " + name;
            return false;
        }
        if (!ok) {
            error = "bad value for " + name + ": " + value;
            return false;
        }
    }
    return true;
}
