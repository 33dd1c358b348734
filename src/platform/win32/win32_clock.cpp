// The performance counter, and the multimedia timer where a system has no counter.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <mmsystem.h>

#include "platform/win32_shell.h"

namespace {
class Win32Clock final : public Clock {
public:
    bool counterFrequency(int64_t* countsPerSecond) override {
        LARGE_INTEGER f;
        if (!QueryPerformanceFrequency(&f) || f.QuadPart <= 0) return false;
        *countsPerSecond = f.QuadPart;
        return true;
    }
    int64_t counter() override {
        LARGE_INTEGER c;
        QueryPerformanceCounter(&c);
        return c.QuadPart;
    }
    uint32_t milliseconds() override { return timeGetTime(); }
};
}  // namespace

Clock* win32Clock() {
    static Win32Clock clock;
    return &clock;
}
