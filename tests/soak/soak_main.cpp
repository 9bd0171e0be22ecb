// The long soak: many seeds, many frames each, on as many threads as asked. Prints what was
// played and checked, and exits 1 when any invariant broke.
//
//   quillmire_soak [--seeds N] [--frames N] [--first-seed S] [--jobs N]
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "soak/soak_run.h"

namespace {

struct Settings {
    unsigned seeds = 64;
    unsigned long long frames = 200000;
    unsigned first_seed = 1;
    unsigned jobs = 2;
};

bool parse(int argc, char** argv, Settings& s) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const char* name = argv[i];
        const unsigned long long value = std::strtoull(argv[i + 1], nullptr, 10);
        if (std::strcmp(name, "--seeds") == 0) {
            s.seeds = static_cast<unsigned>(value);
        } else if (std::strcmp(name, "--frames") == 0) {
            s.frames = value;
        } else if (std::strcmp(name, "--first-seed") == 0) {
            s.first_seed = static_cast<unsigned>(value);
        } else if (std::strcmp(name, "--jobs") == 0) {
            s.jobs = value == 0 ? 1 : static_cast<unsigned>(value);
        } else {
            return false;
        }
    }
    return argc % 2 == 1;
}

}  // namespace

int main(int argc, char** argv) {
    Settings settings;
    if (!parse(argc, argv, settings)) {
        std::fprintf(stderr, "usage: %s [--seeds N] [--frames N] [--first-seed S] [--jobs N]\n", argv[0]);
        return 2;
    }
    const auto started = std::chrono::steady_clock::now();
    std::atomic<unsigned> next{0};
    std::mutex lock;
    qm::soak::SoakReport total;
    std::vector<std::string> failures;

    const auto work = [&] {
        for (unsigned i = next++; i < settings.seeds; i = next++) {
            qm::soak::ScratchDirectory scores;
            qm::soak::SoakOptions options;
            options.seed = settings.first_seed + i;
            options.frames = settings.frames;
            options.score_directory = scores.path();
            const qm::soak::SoakReport report = qm::soak::run_soak(options);
            std::lock_guard<std::mutex> hold(lock);
            total.add(report);
            if (!report.failure.empty()) failures.push_back(report.failure);
            std::printf("seed %u: %llu frames, %llu checks, %llu games, %llu megabosses arrived, %llu defeated%s\n",
                        options.seed, static_cast<unsigned long long>(report.frames),
                        static_cast<unsigned long long>(report.checks), static_cast<unsigned long long>(report.games),
                        static_cast<unsigned long long>(report.megabosses_arrived),
                        static_cast<unsigned long long>(report.megabosses_defeated),
                        report.failure.empty() ? "" : "  FAILED");
            std::fflush(stdout);
        }
    };
    std::vector<std::thread> threads;
    for (unsigned j = 0; j < settings.jobs; ++j) threads.emplace_back(work);
    for (std::thread& t : threads) t.join();

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("\nseeds: %u, frames played: %llu, invariant checks passed: %llu (%.0f s)\n", settings.seeds,
                static_cast<unsigned long long>(total.frames), static_cast<unsigned long long>(total.checks), seconds);
    std::printf("games: %llu, megabosses arrived: %llu, defeated: %llu, node menus that followed their node down the list: %llu\n",
                static_cast<unsigned long long>(total.games), static_cast<unsigned long long>(total.megabosses_arrived),
                static_cast<unsigned long long>(total.megabosses_defeated),
                static_cast<unsigned long long>(total.menu_followed));
    std::printf("most units at once: %llu, ooze given: %llu\n", static_cast<unsigned long long>(total.most_units),
                static_cast<unsigned long long>(total.ooze_given));
    std::printf("purchases:");
    for (std::size_t k = 0; k < total.purchases.size(); ++k) {
        std::printf(" %c %llu", qm::soak::purchase_keys[k], static_cast<unsigned long long>(total.purchases[k]));
    }
    static constexpr const char* screen_names[] = {"sector assignment", "map", "status", "defeat notice",
                                                   "name entry", "records", "replay question", "megaboss victory"};
    std::printf("\nscreens shown:");
    for (std::size_t k = 0; k < total.shown.size(); ++k) {
        std::printf(" %s %llu;", screen_names[k], static_cast<unsigned long long>(total.shown[k]));
    }
    std::printf("\n");
    for (const std::string& f : failures) std::printf("FAILED %s\n", f.c_str());
    std::printf("%zu passed, %zu failed\n", settings.seeds - failures.size(), failures.size());
    return failures.empty() ? 0 : 1;
}
