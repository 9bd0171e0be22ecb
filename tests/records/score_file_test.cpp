// The score file is the player's only lasting possession: whatever happens to a save,
// "score.dat" is the old file or the whole new one, and what a file held is not lost.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <tuple>
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

// The player's own file, whoever runs the test.
void players_own(const std::filesystem::path& file) {
    ASSERT_TRUE(::geteuid() != 0 || ::chown(file.c_str(), 65534, 65534) == 0);
}

TEST(ScoreFile, SavesThatCannotLandSayWhyAndReadOnlyFoldersSaveInPlace) {
    ScoreDirectory dir;
    const auto old_bytes = test::score_bytes(10100, 40, "R");
    dir.write_score_file(old_bytes);
    players_own(dir.score_file());
    Game g;
    g.current_statistics.counters[10] = 500;
    // Each in the system's words; the old file stays as it was, the record is raised in memory.
    const auto fails = [&](const std::string& why, rlim_t size_limit = RLIM_INFINITY) {
        const auto check = [&] { return save_records(g, dir.path()) == why && g.record_statistics.counters[10] == 500; };
        return in_child(dir, check, size_limit) == Ending::passed && dir.read_score_file() == old_bytes &&
               dir.leftovers() == 0;
    };
    // A write-protected file is still read, and kept as it is.
    ASSERT_EQ(::chmod(dir.score_file().c_str(), 0444), 0);
    EXPECT_EQ(in_child(dir, [&] { load_records(g, dir.path()); return g.record_statistics.counters[11] == 51; }),
              Ending::passed);
    EXPECT_TRUE(fails("Permission denied"));
    // One that cannot be read would lose the records it holds.
    ASSERT_EQ(::chmod(dir.score_file().c_str(), 0200), 0);
    EXPECT_TRUE(fails("Permission denied"));
    ASSERT_EQ(::chmod(dir.score_file().c_str(), 0644), 0);
    EXPECT_TRUE(fails("File too large", 4096));  // a full disk

    // In a folder the player may not write to, the file's 8516 bytes are rewritten in place
    // (here a file with a tail).
    auto new_bytes = old_bytes;
    std::copy_n("\xF4\x01\x00\x00", 4, new_bytes.begin() + 4 + 4 * 10);  // 500
    std::fill_n(new_bytes.begin() + 1796 + 15 * 10, 15, 0);              // by nobody named
    auto with_tail = old_bytes;
    with_tail.resize(9000, 'T');
    dir.write_score_file(with_tail);
    players_own(dir.score_file());
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    EXPECT_EQ(in_child(dir, [&] { return save_records(g, dir.path()).empty(); }), Ending::passed);
    EXPECT_EQ(dir.read_score_file(), new_bytes);
}

TEST(ScoreFile, WhateverHoldsScoreDat) {
    ScoreDirectory dir;
    const auto shared = dir.path() / "shared";
    std::filesystem::create_directory(shared);
    // A chain of links, each read from its own folder, to a file of another name: the records
    // go into that file, the links stay links, and beside the file the leftovers of killed
    // saves, named after it with capitals, small letters and digits, are removed, and nothing
    // else is: not a link, not the player's own copies.
    std::filesystem::create_symlink("shared/link", dir.score_file());
    std::filesystem::create_symlink("real.dat", shared / "link");
    std::ofstream(shared / "real.dat", std::ios::binary)
        .write(reinterpret_cast<const char*>(test::score_bytes(10100, 40, "R").data()), score_file_size);
    for (const char* name : {"real.dat.Ab3dE9", "real.dat.Ab3dE", "real.dat.Ab3dE9x", "real.dat.Ab-dE9",
                             "score.dat.Ab3dE9", "real.dat.backup", "real.dat.old123"}) {
        std::ofstream(shared / name) << "a player's";
    }
    std::filesystem::create_symlink("real.dat", shared / "real.dat.L1nk00");
    Game g, reader;
    g.current_statistics.counters[10] = 500;
    EXPECT_EQ(save_records(g, dir.path()), "");
    load_records(reader, dir.path());
    EXPECT_EQ(std::tuple(reader.record_statistics.counters[10], reader.record_statistics.counters[11]),
              std::tuple(500u, 51u));
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(shared)) names.insert(e.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"link", "real.dat", "real.dat.Ab3dE", "real.dat.Ab3dE9x", "real.dat.Ab-dE9",
                                            "real.dat.L1nk00", "real.dat.lock", "score.dat.Ab3dE9", "real.dat.backup",
                                            "real.dat.old123"}));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.score_file()) && std::filesystem::is_symlink(shared / "link"));
    // A dangling link: the file it names is made, as any new file, readable and writable by
    // all the player's umask lets.
    std::filesystem::remove(shared / "real.dat");
    const mode_t mask = ::umask(002);
    EXPECT_EQ(save_records(g, dir.path()), "");
    ::umask(mask);
    struct stat made {};
    EXPECT_TRUE(::stat((shared / "real.dat").c_str(), &made) == 0 && made.st_size == 8516 &&
                (made.st_mode & 07777) == 0664 && std::filesystem::is_symlink(shared / "link"));

    // Anything but a plain file is left as it is, and the save says why.
    std::filesystem::remove(dir.score_file());
    std::filesystem::create_directory(dir.score_file());
    std::ofstream(dir.score_file() / "inside") << "kept";
    EXPECT_EQ(save_records(g, dir.path()), "Is a directory");
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.score_file() / "inside"));
    std::filesystem::remove_all(dir.score_file());
    ASSERT_EQ(::mkfifo(dir.score_file().c_str(), 0644), 0);
    EXPECT_EQ(save_records(g, dir.path()), "Not a regular file");
    EXPECT_TRUE(std::filesystem::is_fifo(dir.score_file()));
    std::filesystem::remove(dir.score_file());
    std::filesystem::create_symlink("score.dat", dir.score_file());
    EXPECT_EQ(save_records(g, dir.path()), "Too many levels of symbolic links");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / score_lock_name));  // not even a lock was taken
    // As many links as the system follows in a path lead on; one more is one too many.
    for (const int links : {40, 41}) {
        ScoreDirectory chain;
        for (int i = 1; i <= links; ++i) {
            std::filesystem::create_symlink(i == links ? "end.dat" : "c" + std::to_string(i),
                                            i == 1 ? chain.score_file() : chain.path() / ("c" + std::to_string(i - 1)));
        }
        EXPECT_EQ(save_records(g, chain.path()), links == 40 ? "" : "Too many levels of symbolic links") << links;
    }
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
        players_own(dir.score_file());
        ending = in_child(dir, [&] { return save_records(game, dir.path()).empty(); }, RLIM_INFINITY, stop);
        ASSERT_TRUE(ending == Ending::killed || ending == Ending::passed) << "stop " << stop;
        const auto now = dir.read_score_file();
        ASSERT_TRUE(now == old_bytes || now == new_bytes) << "killed at stop " << stop;
        (now == old_bytes ? old_seen : new_seen)++;
        // The next game to save gets round whatever the killed one left: a held lock dies with
        // its process, and it removes a new file that was never renamed.
        ASSERT_EQ(save_records(*std::make_unique<Game>(), dir.path()), "") << "after stop " << stop;
        ASSERT_EQ(dir.leftovers(), 0) << "after stop " << stop;
    }
    EXPECT_GT(stop, 10);  // the save went through many system calls, each a place to die
    // Killed before the rename, after it, and run to the end.
    EXPECT_TRUE(old_seen > 0 && new_seen > 1) << old_seen << " old, " << new_seen << " new";
}

TEST(ScoreFile, TwoGamesSavingAtOnceLoseNothing) {
    // Two processes end one game after another. Each game beats one record of its own, never
    // beaten again, so a save lost to the other process stays lost; and each plays better than
    // the last on the final counter, which goes to whoever plays best. First with the lock
    // file; then without one, where the odd player (an ordinary one, whoever runs the test) may
    // not write to the folder and saves in place while the other replaces the file.
    const char* names[2] = {"EVEN", "ODD"};
    for (const bool lock_file : {true, false}) {
        ScoreDirectory dir;
        if (!lock_file) {
            std::filesystem::create_symlink("nowhere/lock", dir.path() / score_lock_name);
            dir.write_score_file({});
            players_own(dir.score_file());
            ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
        }
        pid_t children[2];
        for (int parity = 0; parity < 2; ++parity) {
            if ((children[parity] = ::fork()) != 0) continue;
            if (!lock_file && parity == 1 && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
                ::_exit(3);
            }
            for (std::uint32_t round = 0; round < 60; ++round) {
                auto g = std::make_unique<Game>();
                g->current_statistics.counters[2 * round + parity] = round + 1;
                g->current_statistics.counters[447] = 2 * round + static_cast<std::uint32_t>(parity);
                load_records(*g, dir.path());
                // Named everywhere: where the file holds as much, the file's holder stays.
                for (auto& holder : g->record_statistics.holders) std::strcpy(holder.data(), names[parity]);
                if (!save_records(*g, dir.path()).empty()) ::_exit(2);
            }
            ::_exit(0);
        }
        for (int status = 0; const pid_t child : children) {
            EXPECT_TRUE(::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        auto g = std::make_unique<Game>();
        load_records(*g, dir.path());
        for (int i = 0; i < 120; ++i) {
            ASSERT_EQ(g->record_statistics.counters[i], i / 2 + 1u) << i << (lock_file ? "" : " without the lock file");
            ASSERT_STREQ(g->record_statistics.holders[i].data(), names[i % 2]) << i;
        }
        EXPECT_EQ(g->record_statistics.counters[447], 119u);
        EXPECT_STREQ(g->record_statistics.holders[447].data(), "ODD");
        EXPECT_EQ(dir.leftovers(), 0);
    }
}

}  // namespace
}  // namespace qm
