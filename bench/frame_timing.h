// Per-frame times kept by the benchmarks themselves: Google Benchmark reports means, and a
// frame budget is about the slow frames.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <vector>

namespace qm::bench {

constexpr double frame_budget_us = 10000.0;

class FrameTimes {
public:
    using Clock = std::chrono::steady_clock;

    void add(Clock::duration d) { us_.push_back(std::chrono::duration<double, std::micro>(d).count()); }
    std::size_t size() const { return us_.size(); }

    // The q-quantile by the nearest-rank rule (0.5 the median, 0.99 the 99th percentile).
    double quantile(double q) const {
        if (us_.empty()) return 0.0;
        std::vector<double> sorted = us_;
        std::sort(sorted.begin(), sorted.end());
        std::size_t rank = static_cast<std::size_t>(q * static_cast<double>(sorted.size()) + 0.999999);
        rank = std::clamp<std::size_t>(rank, 1, sorted.size());
        return sorted[rank - 1];
    }

    // median_us, p99_us, max_us and p99 as a share of the 10 ms frame, as counters of the run.
    void report(benchmark::State& state, const char* prefix = "") const {
        const std::string p(prefix);
        state.counters[p + "median_us"] = quantile(0.5);
        state.counters[p + "p99_us"] = quantile(0.99);
        state.counters[p + "max_us"] = quantile(1.0);
        state.counters[p + "frames"] = static_cast<double>(us_.size());
        if (p.empty()) state.counters["p99_of_frame"] = quantile(0.99) / frame_budget_us;
    }

private:
    std::vector<double> us_;
};

}  // namespace qm::bench
