// matchsim: whole matches without a window, as fast as the machine allows, with the
// game's own code: one Game with a computer on each team (practice), or a creating and a
// joining Game with a computer each, through the real exchanges over an in-memory link
// that drops, holds back and reorders datagrams (network).
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "match_result.h"
#include "network_match.h"
#include "options.h"
#include "practice_match.h"

namespace {

// Entering a network match saves the options file in the working folder: keep it out of
// the caller's.
class ScratchFolder {
public:
    ScratchFolder() {
        std::error_code ec;
        const auto base = std::filesystem::temp_directory_path(ec);
        if (ec) return;
        std::random_device random;
        for (int i = 0; i < 100 && path_.empty(); ++i) {
            const auto p = base / ("matchsim-" + std::to_string(random()));
            if (std::filesystem::create_directory(p, ec)) path_ = p;
        }
        if (path_.empty()) return;
        previous_ = std::filesystem::current_path(ec);
        std::filesystem::current_path(path_, ec);
    }
    ~ScratchFolder() {
        std::error_code ec;
        if (!previous_.empty()) std::filesystem::current_path(previous_, ec);
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    bool ok() const { return !path_.empty(); }

private:
    std::filesystem::path path_, previous_;
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "matchsim: %s\n%s", error.c_str(), usageText());
        return 2;
    }
    ScratchFolder scratch;
    if (options.network && !scratch.ok()) {
        std::fprintf(stderr, "matchsim: no scratch folder for the options file\n");
        return 1;
    }

    Summary summary;
    for (int i = 0; i < options.matches; ++i) {
        const uint64_t seed = options.seed + static_cast<uint64_t>(i);
        const MatchResult result = options.network ? playNetworkMatch(options, i + 1, seed)
                                                   : playPracticeMatch(options, i + 1, seed);
        summary.add(result);
        std::printf("%s\n", describeMatch(result).c_str());
        std::fflush(stdout);
    }
    std::printf("%s\n", summary.line().c_str());
    return 0;
}
