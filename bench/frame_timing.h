// Per-frame times kept by the benchmarks themselves: Google Benchmark reports means, and a
// frame budget is about the slow frames.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

namespace qm::bench {

constexpr double frame_budget_us = 10000.0;

// The time this thread has run, which a machine shared with other work does not inflate as
// it does the wall clock (a preempted frame counts its whole time slice there).
inline double thread_cpu_us() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
}

class FrameTimes {
public:
    using Clock = std::chrono::steady_clock;

    void add(Clock::duration d) { us_.push_back(std::chrono::duration<double, std::micro>(d).count()); }
    void add_cpu(double us) { cpu_us_.push_back(us); }
    std::size_t size() const { return us_.size(); }

    // The q-quantile by the nearest-rank rule (0.5 the median, 0.99 the 99th percentile).
    double quantile(double q) const { return quantile_of(us_, q); }
    static double quantile_of(const std::vector<double>& us, double q) {
        if (us.empty()) return 0.0;
        std::vector<double> sorted = us;
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
        if (!cpu_us_.empty()) {
            state.counters[p + "cpu_median_us"] = quantile_of(cpu_us_, 0.5);
            state.counters[p + "cpu_p99_us"] = quantile_of(cpu_us_, 0.99);
        }
    }

private:
    std::vector<double> us_;
    std::vector<double> cpu_us_;
};

}  // namespace qm::bench
