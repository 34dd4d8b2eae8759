#pragma once
// Median timings of the benchmarks, in milliseconds.
#include <QElapsedTimer>
#include <algorithm>
#include <functional>
#include <vector>

namespace BenchTiming {

constexpr int kRuns = 15;

inline double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Runs `prepare` untimed, `action` timed and `undo` untimed, kRuns times.
inline double measure(const std::function<void()>& prepare, const std::function<void()>& action,
                      const std::function<void()>& undo)
{
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        action();
        times.push_back(timer.nsecsElapsed() / 1e6);
        undo();
    }
    return median(times);
}

inline double medianMs(const std::function<void()>& work)
{
    return measure([] {}, work, [] {});
}

}  // namespace BenchTiming
