// Preloaded into a program to time its start-up from outside: at the first buffer swap it
// writes the monotonic clock (nanoseconds) and the peak and current resident memory (kB)
// to the file named by FROSTEL_FIRST_PRESENT_FILE, and, if FROSTEL_FIRST_PRESENT_EXIT is
// set, ends the process there. The program itself is
// unchanged and reads no setting.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

extern "C" void SDL_GL_SwapWindow(void* window) {
    using Swap = void (*)(void*);
    static Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    static bool stamped = false;
    if (real) real(window);
    if (stamped) return;
    stamped = true;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (const char* path = std::getenv("FROSTEL_FIRST_PRESENT_FILE")) {
        long peak = 0, resident = 0;
        if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
            char line[256];
            while (std::fgets(line, sizeof line, status)) {
                std::sscanf(line, "VmHWM: %ld", &peak);
                std::sscanf(line, "VmRSS: %ld", &resident);
            }
            std::fclose(status);
        }
        char text[96];
        const int n = std::snprintf(text, sizeof text, "%lld %ld %ld\n",
                                    static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec, peak, resident);
        const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            if (write(fd, text, static_cast<size_t>(n)) != n) {
            }
            close(fd);
        }
    }
    if (std::getenv("FROSTEL_FIRST_PRESENT_EXIT")) _exit(0);
}
