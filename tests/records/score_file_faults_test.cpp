// The score file under faults: a save killed at any point, one killed half way through its
// write, and files cut short at every length. Whatever happens, "score.dat" is the old file or
// the whole new one, and what a file held is not lost.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <iostream>
#include <cstring>
#include <string>

#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "records/name_entry.h"
#include "records/records_support.h"
#include "records/score_file.h"

namespace qm {
namespace {

using test::put_le32_at;
using test::ScoreDirectory;

constexpr std::size_t holders_offset = 4 + 4 * counter_count;

// A whole file whose counter i holds base + i and whose holder i is "Fi".
std::vector<std::uint8_t> file_bytes(std::uint32_t base) {
    std::vector<std::uint8_t> b(score_file_size, 0);
    put_le32_at(b, 0, score_file_version);
    for (std::size_t i = 0; i < counter_count; ++i) {
        put_le32_at(b, 4 + 4 * i, base + static_cast<std::uint32_t>(i));
        const std::string name = "F" + std::to_string(i);
        std::memcpy(&b[holders_offset + holder_name_size * i], name.c_str(), name.size() + 1);
    }
    return b;
}

// A game that loaded the old file and beat two of its records, named "NEW".
std::unique_ptr<Game> winning_game(const ScoreDirectory& dir) {
    auto g = std::make_unique<Game>();
    load_records(*g, dir.path());
    g->current_statistics.counters[5] = 100000;
    g->current_statistics.counters[200] = 5000;
    for (int i : {5, 200}) g->record_statistics.holders[static_cast<std::size_t>(i)] = test::holder_of("NEW");
    return g;
}

// Everything but the score file and its lock is a temporary save that never got renamed.
std::vector<std::uintmax_t> leftover_sizes(const ScoreDirectory& dir) {
    std::vector<std::uintmax_t> sizes;
    for (const std::string& name : dir.entries()) {
        if (name != score_file_name && name != score_lock_name) sizes.push_back(std::filesystem::file_size(dir.path() / name));
    }
    return sizes;
}

void reset_directory(const ScoreDirectory& dir, const std::vector<std::uint8_t>& bytes) {
    for (const std::string& name : dir.entries()) std::filesystem::remove(dir.path() / name);
    dir.write_score_file(bytes);
}

enum class Ending { killed, finished, failed };

// Saves in a child process that this one traces, and kills it with SIGKILL at its stop-th
// stop: the start, then the entry and the exit of each system call it makes. A file size
// limit, when given, makes writes past it fail as a full disk would.
Ending save_killed_at(Game& game, const ScoreDirectory& dir, int stop, rlim_t size_limit = RLIM_INFINITY) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (size_limit != RLIM_INFINITY) {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{size_limit, size_limit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        ::raise(SIGSTOP);
        const bool saved = save_records(game, dir.path());
        ::_exit(saved ? 0 : 1);  // no exit handlers: the sanitizer's leak check would trace it
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFSTOPPED(status)) return Ending::failed;
    ::ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_EXITKILL);
    for (int n = 0;; ++n) {
        if (n == stop) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return WIFSIGNALED(status) ? Ending::killed : Ending::failed;
        }
        if (::ptrace(PTRACE_SYSCALL, child, nullptr, nullptr) != 0) return Ending::failed;
        if (::waitpid(child, &status, 0) != child) return Ending::failed;
        if (WIFEXITED(status)) return Ending::finished;
    }
}

TEST(ScoreFileFaults, SaveKilledAtAnyPointLeavesTheOldFileOrTheNewOne) {
    ScoreDirectory dir;
    const auto old_bytes = file_bytes(10);

    // What a save that runs to the end writes.
    reset_directory(dir, old_bytes);
    auto whole = winning_game(dir);
    ASSERT_TRUE(save_records(*whole, dir.path()));
    const auto new_bytes = dir.read_score_file();
    ASSERT_EQ(new_bytes.size(), score_file_size);
    ASSERT_NE(new_bytes, old_bytes);

    int old_seen = 0, new_seen = 0, stop = 0;
    for (;; ++stop) {
        reset_directory(dir, old_bytes);
        auto g = winning_game(dir);
        const Ending ending = save_killed_at(*g, dir, stop);
        ASSERT_NE(ending, Ending::failed) << "stop " << stop;
        const auto now = dir.read_score_file();
        ASSERT_TRUE(now == old_bytes || now == new_bytes) << "killed at stop " << stop;
        (now == old_bytes ? old_seen : new_seen)++;
        if (ending == Ending::finished) {
            EXPECT_EQ(now, new_bytes);
            break;
        }
        // The next game to save gets round whatever the killed one left: a held lock dies
        // with its process, a temporary file is only in the way of nothing.
        auto next = std::make_unique<Game>();
        load_records(*next, dir.path());
        next->current_statistics.counters[7] = 777777;
        ASSERT_TRUE(save_records(*next, dir.path())) << "after a kill at stop " << stop;
        auto after = std::make_unique<Game>();
        load_records(*after, dir.path());
        EXPECT_EQ(after->record_statistics.counters[7], 777777u);
        EXPECT_EQ(after->record_statistics.counters[6], 16u);
        EXPECT_EQ(after->record_statistics.counters[5], now == new_bytes ? 100000u : 15u);
    }
    std::cout << "a save killed at each of " << stop << " stops: " << old_seen << " left the old file, " << new_seen
              << " the new one\n";
    EXPECT_GT(stop, 10);  // the save went through many system calls, each a place to die
    EXPECT_GT(old_seen, 0);
    EXPECT_GT(new_seen, 1);  // killed after the rename, and run to the end
}

TEST(ScoreFileFaults, SaveKilledHalfWayThroughItsWrite) {
    ScoreDirectory dir;
    const auto old_bytes = file_bytes(10);
    // Past 4096 bytes the disk is full: the write stops half way, and the save is killed at
    // every step from there, the half-written temporary file included.
    bool killed_half_way = false;
    for (int stop = 0;; ++stop) {
        reset_directory(dir, old_bytes);
        auto g = winning_game(dir);
        const Ending ending = save_killed_at(*g, dir, stop, 4096);
        ASSERT_NE(ending, Ending::failed);
        ASSERT_EQ(dir.read_score_file(), old_bytes) << "killed at stop " << stop;
        const auto left = leftover_sizes(dir);
        if (std::find(left.begin(), left.end(), 4096u) != left.end()) killed_half_way = true;
        if (ending == Ending::finished) {
            EXPECT_TRUE(left.empty());  // a save that failed by itself cleans up
            break;
        }
    }
    EXPECT_TRUE(killed_half_way);
}

TEST(ScoreFileFaults, FileCutShortAtEveryLength) {
    ScoreDirectory dir;
    const auto full = file_bytes(0x01020304u);
    StatisticsBlock before;
    before.counters.fill(0xAABBCCDDu);
    for (auto& h : before.holders) h = test::holder_of("KEEP");
    // Saving after every cut would take a sync each; these lengths end inside and at the edge
    // of the version word, the counters and the holders.
    const std::vector<std::size_t> saved_at{0, 3, 4, 5, 7, 8, 9, 101, 1795, 1796, 1797, 1810, 5000, 8515, 8516};

    auto g = std::make_unique<Game>();
    for (std::size_t length = 0; length <= score_file_size; ++length) {
        dir.write_score_file({full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length)});
        g->current_statistics = StatisticsBlock{};
        g->record_statistics = before;
        load_records(*g, dir.path());

        // The bytes the file holds replace theirs; the rest stay. Too short for a version: none.
        std::vector<std::uint8_t> laid(full.size());
        for (std::size_t i = 0; i < counter_count; ++i) put_le32_at(laid, 4 + 4 * i, before.counters[i]);
        for (std::size_t i = 0; i < counter_count; ++i) {
            std::memcpy(&laid[holders_offset + holder_name_size * i], before.holders[i].data(), holder_name_size);
        }
        if (length >= 4) std::copy(full.begin() + 4, full.begin() + static_cast<std::ptrdiff_t>(length), laid.begin() + 4);
        StatisticsBlock expected;
        for (std::size_t i = 0; i < counter_count; ++i) {
            expected.counters[i] = test::le32_at(laid, 4 + 4 * i);
            std::memcpy(expected.holders[i].data(), &laid[holders_offset + holder_name_size * i], holder_name_size);
        }
        ASSERT_EQ(g->record_statistics.counters, expected.counters) << length << " bytes";
        ASSERT_EQ(g->record_statistics.holders, expected.holders) << length << " bytes";

        if (std::find(saved_at.begin(), saved_at.end(), length) == saved_at.end()) continue;
        // A game that read the cut file and beat one record writes the file whole again.
        g->current_statistics.counters[447] = 0xFFFFFFFFu;
        g->record_statistics.holders[447] = test::holder_of("MEND");
        ASSERT_TRUE(save_records(*g, dir.path()));
        const auto mended = dir.read_score_file();
        ASSERT_EQ(mended.size(), score_file_size);
        auto back = std::make_unique<Game>();
        load_records(*back, dir.path());
        EXPECT_EQ(back->record_statistics.counters, g->record_statistics.counters) << length;
        EXPECT_EQ(back->record_statistics.holders, g->record_statistics.holders) << length;
        EXPECT_EQ(back->record_statistics.counters[447], 0xFFFFFFFFu);
    }
}

TEST(ScoreFileFaults, NowhereToSave) {
    // A score directory that is not there: nothing is read, nothing saved, nothing created,
    // and the records beaten stay in memory for the rest of the run.
    ScoreDirectory dir;
    const auto missing = dir.path() / "gone";
    Game g;
    g.record_statistics.counters[9] = 4;
    load_records(g, missing);
    EXPECT_EQ(g.record_statistics.counters[9], 4u);
    g.current_statistics.counters[9] = 40;
    EXPECT_FALSE(save_records(g, missing));
    EXPECT_EQ(g.record_statistics.counters[9], 40u);
    EXPECT_FALSE(std::filesystem::exists(missing));

    // A "score.dat" that is a directory is no score file and is left alone.
    std::filesystem::create_directory(dir.score_file());
    load_records(g, dir.path());
    EXPECT_EQ(g.record_statistics.counters[9], 40u);
    EXPECT_FALSE(save_records(g, dir.path()));
    EXPECT_TRUE(std::filesystem::is_directory(dir.score_file()));
}

}  // namespace
}  // namespace qm
