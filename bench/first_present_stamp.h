#pragma once
// The Windows counterpart of first_present_shim.cpp, which Wine cannot preload: the benchmark
// builds call this after their first Present. It writes the clock (nanoseconds) to the file
// named by FROSTEL_FIRST_PRESENT_FILE and, if FROSTEL_FIRST_PRESENT_EXIT is set, ends the
// process there. The clock is QueryPerformanceCounter through mingw's clock_gettime; under
// Wine that counter is Linux's CLOCK_MONOTONIC_RAW in 100 ns steps, so startup_bench compares
// it with its own CLOCK_MONOTONIC_RAW taken before the spawn.
#include <cstdio>
#include <cstdlib>
#include <ctime>

inline void stampFirstPresent() {
    static bool stamped = false;
    if (stamped) return;
    stamped = true;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (const char* path = std::getenv("FROSTEL_FIRST_PRESENT_FILE")) {
        if (std::FILE* f = std::fopen(path, "w")) {
            std::fprintf(f, "%lld 0 0\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
            std::fclose(f);
        }
    }
    if (std::getenv("FROSTEL_FIRST_PRESENT_EXIT")) std::_Exit(0);
}
