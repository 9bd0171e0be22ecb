// The score file is the player's only lasting possession: whatever happens to a save,
// "score.dat" is the old file or the whole new one, and what a file held is not lost.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <string>
#include <utility>

#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "records/records_support.h"
#include "records/score_file.h"

namespace qm {
namespace {

using test::ScoreDirectory;

enum class Ending { passed, failed, killed, broken };

// Runs a check in a child process as an ordinary user (root writes wherever it likes), with
// the files it writes limited as a full disk would. With stop >= 0 the child is traced and
// killed with SIGKILL at its stop-th stop: the start, then the entry and exit of each system call.
template <class Check>
Ending in_child(const ScoreDirectory& dir, Check check, rlim_t size_limit = RLIM_INFINITY, int stop = -1) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{size_limit, size_limit};
        const bool ready = ::setrlimit(RLIMIT_FSIZE, &limit) == 0 &&
                           (::geteuid() != 0 || (::chown(dir.path().c_str(), 65534, 65534) == 0 &&  // nobody
                                                 ::setgid(65534) == 0 && ::setuid(65534) == 0)) &&
                           (stop < 0 || (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) == 0 && ::raise(SIGSTOP) == 0));
        // No exit handlers: the sanitizer's leak check would trace them.
        ::_exit(!ready ? 3 : check() ? 0 : 1);
    }
    int status = 0;
    bool alive = child > 0 && ::waitpid(child, &status, 0) == child;
    if (alive && stop >= 0) ::ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_EXITKILL);
    for (int n = 0; alive && n < stop && WIFSTOPPED(status); ++n) {
        alive = ::ptrace(PTRACE_SYSCALL, child, nullptr, nullptr) == 0 && ::waitpid(child, &status, 0) == child;
    }
    if (alive && WIFSTOPPED(status)) {
        ::kill(child, SIGKILL);
        return ::waitpid(child, &status, 0) == child && WIFSIGNALED(status) ? Ending::killed : Ending::broken;
    }
    return !alive || !WIFEXITED(status) ? Ending::broken : WEXITSTATUS(status) == 0 ? Ending::passed : Ending::failed;
}

TEST(ScoreFile, VersionsAndFilesCutShort) {
    // Over records that are all 0xAA bytes, a file cut short reads as the file with a tail of
    // 0xAA bytes: it replaces only the bytes it holds, a counter's low bytes included. No file,
    // one too short for its version or one older than 10000 replace nothing.
    ScoreDirectory dir;
    StatisticsBlock before;
    before.counters.fill(0xAAAAAAAAu);
    for (auto& h : before.holders) h.fill(static_cast<char>(0xAA));
    auto g = std::make_unique<Game>(), laid = std::make_unique<Game>();
    g->record_statistics = laid->record_statistics = before;
    load_records(*g, dir.path());
    EXPECT_EQ(g->record_statistics.counters, before.counters);
    for (const std::uint32_t version : {9999u, 10000u}) {
        dir.write_score_file(test::score_bytes(version, 7, "R"));
        load_records(*g, dir.path());
        EXPECT_EQ(std::exchange(g->record_statistics, before).counters[0], version == 9999 ? 0xAAAAAAAAu : 7u);
    }
    const auto full = test::score_bytes(10100, 0x01020304u, "F");
    for (std::size_t length = 0; length <= score_file_size; ++length) {
        dir.write_score_file({full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length)});
        g->record_statistics = before;
        load_records(*g, dir.path());
        std::vector<std::uint8_t> expected(score_file_size, 0xAA);
        std::copy_n(full.begin(), std::max<std::size_t>(length, 4), expected.begin());
        dir.write_score_file(expected);
        load_records(*laid, dir.path());
        ASSERT_EQ(std::pair(g->record_statistics.counters, g->record_statistics.holders),
                  std::pair(laid->record_statistics.counters, laid->record_statistics.holders)) << length << " bytes";
        const auto& counters = g->record_statistics.counters;  // 100 bytes: the version and counters 0 to 23
        EXPECT_TRUE(length != 100 || (counters[23] == 0x01020304u + 23 && counters[24] == 0xAAAAAAAAu));
    }
}

TEST(ScoreFile, SavesThatCannotLandLeaveTheOldFile) {
    ScoreDirectory dir;
    const auto old_bytes = test::score_bytes(10100, 40, "R");
    dir.write_score_file(old_bytes);
    Game g;
    g.current_statistics.counters[10] = 500;
    // A write-protected file is still read, and kept as it is; the record is raised in memory.
    ASSERT_EQ(::chmod(dir.score_file().c_str(), 0444), 0);
    const auto read_not_saved = [&] {
        load_records(g, dir.path());
        return g.record_statistics.counters[11] == 51 && !save_records(g, dir.path()) &&
               g.record_statistics.counters[10] == 500;
    };
    EXPECT_EQ(in_child(dir, read_not_saved), Ending::passed);
    ASSERT_EQ(::chmod(dir.score_file().c_str(), 0666), 0);  // the player's own file, whoever runs the test
    // A full disk, and a directory the game may not write to.
    const auto not_saved = [&] { return !save_records(g, dir.path()); };
    EXPECT_EQ(in_child(dir, not_saved, 4096), Ending::passed);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    EXPECT_EQ(in_child(dir, not_saved), Ending::passed);
    EXPECT_EQ(dir.read_score_file(), old_bytes);
    EXPECT_EQ(dir.leftovers(), 0);
}

TEST(ScoreFile, SaveKilledAtAnyPoint) {
    ScoreDirectory dir;
    const auto old_bytes = test::score_bytes(10100, 10, "F");
    Game game;  // loaded the old file and beat a record
    game.current_statistics.counters[5] = 100000;
    std::strcpy(game.record_statistics.holders[5].data(), "NEW");
    auto new_bytes = old_bytes;
    std::copy_n("\xA0\x86\x01\x00", 4, new_bytes.begin() + 4 + 4 * 5);  // 100000
    std::copy_n("NEW", 4, new_bytes.begin() + 1796 + 15 * 5);
    int old_seen = 0, new_seen = 0, stop = 0;
    for (Ending ending = Ending::killed; ending == Ending::killed; ++stop) {
        for (const auto& e : std::filesystem::directory_iterator(dir.path())) std::filesystem::remove(e.path());
        dir.write_score_file(old_bytes);
        ::chmod(dir.score_file().c_str(), 0666);  // the player's own file, whoever runs the test
        ending = in_child(dir, [&] { return save_records(game, dir.path()); }, RLIM_INFINITY, stop);
        ASSERT_TRUE(ending == Ending::killed || ending == Ending::passed) << "stop " << stop;
        const auto now = dir.read_score_file();
        ASSERT_TRUE(now == old_bytes || now == new_bytes) << "killed at stop " << stop;
        (now == old_bytes ? old_seen : new_seen)++;
        // The next game to save gets round whatever the killed one left: a held lock dies with
        // its process, a temporary file is in nobody's way.
        ASSERT_TRUE(save_records(*std::make_unique<Game>(), dir.path())) << "after stop " << stop;
    }
    EXPECT_GT(stop, 10);  // the save went through many system calls, each a place to die
    // Killed before the rename, after it, and run to the end.
    EXPECT_TRUE(old_seen > 0 && new_seen > 1) << old_seen << " old, " << new_seen << " new";
}

TEST(ScoreFile, TwoGamesSavingAtOnceLoseNothing) {
    // Two processes end one game after another. Each game beats one record of its own, never
    // beaten again, so a save lost to the other process stays lost; and each plays better than
    // the last on the final counter, which goes to whoever plays best.
    ScoreDirectory dir;
    const char* names[2] = {"EVEN", "ODD"};
    pid_t children[2];
    for (int parity = 0; parity < 2; ++parity) {
        if ((children[parity] = ::fork()) != 0) continue;
        for (std::uint32_t round = 0; round < 60; ++round) {
            auto g = std::make_unique<Game>();
            g->current_statistics.counters[2 * round + parity] = round + 1;
            g->current_statistics.counters[447] = 2 * round + static_cast<std::uint32_t>(parity);
            load_records(*g, dir.path());
            // Named everywhere: where the file holds as much, the file's holder stays.
            for (auto& holder : g->record_statistics.holders) std::strcpy(holder.data(), names[parity]);
            if (!save_records(*g, dir.path())) ::_exit(2);
        }
        ::_exit(0);
    }
    for (int status = 0; const pid_t child : children) {
        EXPECT_TRUE(::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    auto g = std::make_unique<Game>();
    load_records(*g, dir.path());
    for (int i = 0; i < 120; ++i) {
        ASSERT_EQ(g->record_statistics.counters[i], i / 2 + 1u) << i;
        ASSERT_STREQ(g->record_statistics.holders[i].data(), names[i % 2]) << i;
    }
    EXPECT_EQ(g->record_statistics.counters[447], 119u);
    EXPECT_STREQ(g->record_statistics.holders[447].data(), "ODD");
    EXPECT_EQ(dir.leftovers(), 0);
}

}  // namespace
}  // namespace qm
