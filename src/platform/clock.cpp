#include "platform/clock.h"

#include <chrono>

namespace {
class SteadyClock final : public Clock {
public:
    bool counterFrequency(int64_t* countsPerSecond) override {
        using Period = std::chrono::steady_clock::period;
        *countsPerSecond = Period::den / Period::num;
        return *countsPerSecond > 0;
    }
    int64_t counter() override { return std::chrono::steady_clock::now().time_since_epoch().count(); }
    uint32_t milliseconds() override {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        return static_cast<uint32_t>(ms.count());
    }
};

Clock* g_installed = nullptr;
}  // namespace

Clock& platformClock() {
    static SteadyClock steady;
    return g_installed ? *g_installed : steady;
}

void installClock(Clock* clock) { g_installed = clock; }
