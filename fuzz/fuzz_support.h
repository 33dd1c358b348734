#pragma once
// Shared by the fuzz targets: reading structured choices out of the fuzzer's bytes,
// and failing loudly on a broken invariant (libFuzzer keeps the input that did it).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

class FuzzBytes {
public:
    FuzzBytes(const uint8_t* data, size_t size) : p_(data), n_(size) {}
    bool empty() const { return n_ == 0; }
    size_t left() const { return n_; }
    // Zero once the bytes run out, so a short input still makes a whole run.
    uint8_t byte() {
        if (n_ == 0) return 0;
        --n_;
        return *p_++;
    }
    int8_t signedByte() { return static_cast<int8_t>(byte()); }
    // Copies up to count bytes, zero-filling what the input no longer has.
    void copy(uint8_t* out, size_t count) {
        for (size_t i = 0; i < count; ++i) out[i] = byte();
    }

private:
    const uint8_t* p_;
    size_t n_;
};

[[noreturn]] inline void fuzzFail(const char* what, double a = 0.0, double b = 0.0) {
    std::fprintf(stdout, "fuzz invariant broken: %s (%g, %g)\n", what, a, b);
    std::fflush(stdout);
    std::abort();
}

inline void fuzzCheck(bool ok, const char* what, double a = 0.0, double b = 0.0) {
    if (!ok) fuzzFail(what, a, b);
}

inline bool finite2(const float v[2]) { return std::isfinite(v[0]) && std::isfinite(v[1]); }

// A private scratch folder for the readers that take a file name, removed at exit. It is
// the working directory only while a run lasts, so that the fuzzer's own relative paths
// (corpus, crash files) keep working.
#include <unistd.h>

#include <filesystem>
#include <string>

class InScratchFolder {
public:
    InScratchFolder() : previous_(std::filesystem::current_path()) { std::filesystem::current_path(folder()); }
    ~InScratchFolder() { std::filesystem::current_path(previous_); }
    InScratchFolder(const InScratchFolder&) = delete;
    InScratchFolder& operator=(const InScratchFolder&) = delete;

private:
    // Never freed: the exit handler that removes the folder still needs its name.
    static const std::string& folder() {
        static const std::string* path = [] {
            char pattern[] = "/tmp/frostel-fuzz-XXXXXX";
            const char* made = mkdtemp(pattern);
            fuzzCheck(made != nullptr, "scratch folder");
            std::atexit([] {
                std::error_code ec;
                std::filesystem::remove_all(folder(), ec);
            });
            return new std::string(made);
        }();
        return *path;
    }
    std::filesystem::path previous_;
};

inline void writeScratchFile(const char* name, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(name, "wb");
    fuzzCheck(f != nullptr, "scratch file opens");
    if (size > 0) fuzzCheck(std::fwrite(data, 1, size, f) == size, "scratch file written");
    std::fclose(f);
}
