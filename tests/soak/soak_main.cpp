// The long soak: many seeds, many frames each, on as many threads as asked. Prints what was
// played and checked, and exits 1 when any invariant broke; a failure names the seed and the
// frame, and --first-seed S --seeds 1 --frames F plays it again.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "soak/soak.h"

int main(int argc, char** argv) {
    std::map<std::string, unsigned long long> settings{
        {"--seeds", 64}, {"--frames", 200000}, {"--first-seed", 1}, {"--jobs", 2}};
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 == argc || settings.count(argv[i]) == 0) {
            std::fprintf(stderr, "usage: %s [--seeds N] [--frames N] [--first-seed S] [--jobs N]\n", argv[0]);
            return 2;
        }
        settings[argv[i]] = std::strtoull(argv[i + 1], nullptr, 10);
    }
    const unsigned long long seeds = settings["--seeds"], jobs = std::max(settings["--jobs"], 1ull),
                             first = settings["--first-seed"], frames = settings["--frames"];
    std::mutex lock;
    qm::soak::SoakReport total;
    unsigned long long failed = 0;
    std::vector<std::thread> threads;
    for (unsigned long long job = 0; job < jobs; ++job) {
        threads.emplace_back([&, job] {
            for (unsigned long long i = job; i < seeds; i += jobs) {
                const auto report =
                    qm::soak::run_soak({.seed = static_cast<std::uint32_t>(first + i), .frames = frames});
                const std::lock_guard<std::mutex> hold(lock);
                total.add(report);
                if (!report.failure.empty()) ++failed, std::printf("FAILED %s\n", report.failure.c_str());
            }
        });
    }
    for (std::thread& t : threads) t.join();
    std::printf("frames played: %llu, invariant checks passed: %llu, games: %llu, megabosses defeated: %llu\n",
                total.frames, total.checks, total.games, total.megabosses_defeated);
    std::printf("%llu seeds passed, %llu failed\n", seeds - failed, failed);
    return failed == 0 ? 0 : 1;
}
