#pragma once

// Timing helpers the benchmarks share.

#include <algorithm>
#include <chrono>
#include <string>
#include <sys/stat.h>

namespace bench {

// One run of `run`, in milliseconds.
template <typename F> double timeMs(F&& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    return took.count();
}

// The best of `runs` runs, in milliseconds: the figure least disturbed by
// the rest of the machine.
template <typename F> double bestOf(int runs, F&& run) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        best = std::min(best, timeMs(run));
    }
    return best;
}

template <typename F> double bestOf5(F&& run) {
    return bestOf(5, run);
}

inline bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace bench
