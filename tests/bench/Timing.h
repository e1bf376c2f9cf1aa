#pragma once
// Timing for the benchmarks: medians of several runs, so that one slow run (a page
// fault, another process taking the processor) does not move the figure.
#include <algorithm>
#include <chrono>
#include <vector>

namespace brimview::bench {

inline double Median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// The median over `runs` runs of the time one call of `work` takes, in microseconds:
// each run times `calls` calls in a row and divides by their number.
template <class Work>
double MedianMicroseconds(int runs, int calls, Work&& work) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        for (int call = 0; call < calls; ++call) work();
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count() / calls);
    }
    return Median(times);
}

}  // namespace brimview::bench
