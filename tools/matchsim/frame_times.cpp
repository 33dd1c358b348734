#include "frame_times.h"

#include <cstdio>
#include <cstdlib>

namespace {
constexpr double kShortest = 1.0 / 1000.0;
constexpr double kLongest = 1.0 / 10.0;  // the frame timer never gives more

bool parseNumber(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size();
}
}  // namespace

bool parseFrameTime(const std::string& text, FrameTimeSetting& out) {
    if (text == "jitter") {
        out = {true, 0.0};
        return true;
    }
    double seconds = 0.0;
    const size_t slash = text.find('/');
    if (slash == std::string::npos) {
        if (!parseNumber(text, seconds)) return false;
    } else {
        double a = 0.0, b = 0.0;
        if (!parseNumber(text.substr(0, slash), a) || !parseNumber(text.substr(slash + 1), b) || b == 0.0) return false;
        seconds = a / b;
    }
    // Written this way round, NaN fails too.
    if (!(seconds >= kShortest && seconds <= kLongest)) return false;
    out = {false, seconds};
    return true;
}

std::string describeFrameTime(const FrameTimeSetting& setting) {
    if (setting.jitter) return "jitter";
    char text[32];
    std::snprintf(text, sizeof text, "1/%.4g", 1.0 / setting.seconds);
    return text;
}
