#include <SDL.h>

#include "platform/sdl_shell.h"

namespace {
class SdlClock final : public Clock {
public:
    bool counterFrequency(int64_t* countsPerSecond) override {
        Uint64 f = SDL_GetPerformanceFrequency();
        *countsPerSecond = static_cast<int64_t>(f);
        return f != 0;
    }
    int64_t counter() override { return static_cast<int64_t>(SDL_GetPerformanceCounter()); }
    uint32_t milliseconds() override { return SDL_GetTicks(); }
};
}  // namespace

Clock* sdlClock() {
    static SdlClock clock;
    return &clock;
}
