#pragma once
// The median of a set of timed rounds, which one slow round does not move.
#include <algorithm>
#include <vector>

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}
