#pragma once
// The best of several timed rounds: the least disturbed by other work on a shared machine.
#include <algorithm>
#include <chrono>
#include <functional>

namespace bench {

inline double BestSeconds(int rounds, const std::function<void()>& work) {
    double best = 1e30;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

}  // namespace bench
