#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <string>

#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "records/name_entry.h"
#include "records/records_support.h"
#include "records/score_file.h"

namespace qm {
namespace {

using test::le32_at;
using test::put_le32_at;
using test::ScoreDirectory;

const std::vector<std::string> score_and_lock{"score.dat", "score.dat.lock"};

// A whole file whose counter i holds base + i and whose holder i is "Ri".
std::vector<std::uint8_t> score_bytes(std::uint32_t version, std::uint32_t base) {
    std::vector<std::uint8_t> b(8516, 0);
    put_le32_at(b, 0, version);
    for (std::size_t i = 0; i < counter_count; ++i) {
        put_le32_at(b, 4 + 4 * i, base + static_cast<std::uint32_t>(i));
        const std::string name = "R" + std::to_string(i);
        std::memcpy(&b[1796 + 15 * i], name.c_str(), name.size() + 1);
    }
    return b;
}

void name_holders(Game& g, const char* name) {
    for (int i = 0; i < counter_count; ++i) {
        if (g.current_statistics.counters[i] > g.record_statistics.counters[i]) {
            std::memcpy(g.record_statistics.holders[i].data(), name, std::strlen(name) + 1);
        }
    }
}

// Runs a check in a child process as an ordinary user, since root writes wherever it likes.
template <class Check>
bool holds_for_ordinary_user(const ScoreDirectory& dir, Check check) {
    const pid_t child = ::fork();
    if (child == 0) {
        constexpr uid_t nobody = 65534;
        if (::geteuid() == 0 &&
            (::chown(dir.path().c_str(), nobody, nobody) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)) {
            ::_exit(3);
        }
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(ScoreFile, MissingFileKeepsTheRecordsAndIsCreatedOnSave) {
    ScoreDirectory dir;
    Game g;
    g.record_statistics.counters[5] = 77;
    load_records(g, dir.path());
    EXPECT_EQ(g.record_statistics.counters[5], 77u);

    Game fresh;
    load_records(fresh, dir.path());
    fresh.current_statistics.counters[3] = 1;
    ASSERT_TRUE(record_beaten(fresh));
    name_holders(fresh, "FIRST");
    fresh.record_statistics.holders[9] = {'A', 0, 'X', 'Y', 'Z', 0, 0, 0, 0, 0, 0, 0, 0, 0, 'Q'};
    ASSERT_TRUE(save_records(fresh, dir.path()));

    const auto bytes = dir.read_score_file();
    ASSERT_EQ(bytes.size(), 8516u);
    EXPECT_EQ(le32_at(bytes, 0), 10100u);
    EXPECT_EQ(le32_at(bytes, 16), 1u);
    EXPECT_STREQ(reinterpret_cast<const char*>(&bytes[1796 + 45]), "FIRST");
    EXPECT_EQ(dir.entries(), score_and_lock);

    // What was saved comes back whole, bytes after a holder's NUL included.
    Game again;
    load_records(again, dir.path());
    EXPECT_EQ(again.record_statistics.counters, fresh.record_statistics.counters);
    EXPECT_EQ(again.record_statistics.holders, fresh.record_statistics.holders);
}

TEST(ScoreFile, VersionsAndShortFiles) {
    ScoreDirectory dir;
    const auto counter_0_after_loading = [&](const std::vector<std::uint8_t>& bytes) {
        dir.write_score_file(bytes);
        Game g;
        g.record_statistics.counters[0] = 5;
        load_records(g, dir.path());
        return g.record_statistics.counters[0];
    };
    EXPECT_EQ(counter_0_after_loading(score_bytes(9999, 1000)), 5u);
    EXPECT_EQ(counter_0_after_loading(score_bytes(10000, 1000)), 1000u);
    EXPECT_EQ(counter_0_after_loading(score_bytes(10100, 1000)), 1000u);
    EXPECT_EQ(counter_0_after_loading(score_bytes(0xFFFFFFFFu, 1000)), 1000u);
    EXPECT_EQ(counter_0_after_loading({0x74, 0x27, 0x00}), 5u);  // not even a version word

    // 100 bytes: the version word and the first 96 bytes, counters 0..23.
    Game s;
    s.record_statistics.counters.fill(0xAABBCCDDu);
    s.record_statistics.holders[0] = {'K', 'E', 'E', 'P', 0};
    auto hundred = score_bytes(10100, 2000);
    hundred.resize(100);
    dir.write_score_file(hundred);
    load_records(s, dir.path());
    EXPECT_EQ(s.record_statistics.counters[23], 2023u);
    EXPECT_EQ(s.record_statistics.counters[24], 0xAABBCCDDu);
    EXPECT_STREQ(s.record_statistics.holders[0].data(), "KEEP");

    // A file that stops inside a counter replaces only that counter's first (low) bytes.
    auto ragged = score_bytes(10100, 0x11223344u);
    ragged.resize(4 + 4 * 24 + 2);
    dir.write_score_file(ragged);
    load_records(s, dir.path());
    EXPECT_EQ(s.record_statistics.counters[24], 0xAABB335Cu);  // the file's 0x1122335C, low half
}

TEST(ScoreFile, WriteProtectedFileIsReadAndLeftAsItWas) {
    ScoreDirectory dir;
    const auto old_bytes = score_bytes(10000, 40);
    dir.write_score_file(old_bytes);
    ASSERT_EQ(::chmod(dir.score_file().c_str(), 0444), 0);
    EXPECT_TRUE(holds_for_ordinary_user(dir, [&] {
        Game h;
        load_records(h, dir.path());
        const bool read = h.record_statistics.counters[10] == 50;
        h.current_statistics.counters[10] = 500;
        // Not saved, but raised in memory for the rest of the run.
        return read && !save_records(h, dir.path()) && h.record_statistics.counters[10] == 500;
    }));
    EXPECT_EQ(dir.read_score_file(), old_bytes);
}

// Limits the size of the files this process writes, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, old_handler_);
    }

private:
    rlimit saved_{};
    void (*old_handler_)(int) = nullptr;
};

TEST(ScoreFile, FailedSaveLeavesTheOldFile) {
    ScoreDirectory dir;
    const auto old_bytes = score_bytes(10100, 7);
    dir.write_score_file(old_bytes);
    Game g;
    load_records(g, dir.path());
    g.current_statistics.counters[2] = 1000;
    {
        FileSizeLimit limit(4096);
        EXPECT_FALSE(save_records(g, dir.path()));
    }
    EXPECT_EQ(dir.read_score_file(), old_bytes);
    EXPECT_EQ(dir.entries(), score_and_lock);  // no half-written file left behind
    EXPECT_EQ(g.record_statistics.counters[2], 1000u);

    // A directory the game may not write to: nothing can be saved, nothing is harmed.
    g.current_statistics.counters[3] = 5000;
    EXPECT_TRUE(holds_for_ordinary_user(dir, [&] {
        return ::chmod(dir.path().c_str(), 0555) == 0 && !save_records(g, dir.path());
    }));
    EXPECT_EQ(dir.read_score_file(), old_bytes);
}

TEST(ScoreFile, SaveKeepsTheBetterOfFileAndGame) {
    ScoreDirectory dir;
    Game g;
    g.current_statistics.counters[10] = 20;
    g.current_statistics.counters[11] = 5;
    g.current_statistics.counters[12] = 30;
    name_holders(g, "LATE");

    // Since this game loaded, another one saved better, worse and equal records.
    auto other = score_bytes(10100, 0);
    put_le32_at(other, 4 + 40, 50);
    put_le32_at(other, 4 + 44, 0);
    put_le32_at(other, 4 + 48, 30);
    dir.write_score_file(other);
    ASSERT_TRUE(save_records(g, dir.path()));

    Game after;
    load_records(after, dir.path());
    const auto& r = after.record_statistics;
    EXPECT_EQ(r.counters[10], 50u);
    EXPECT_STREQ(r.holders[10].data(), "R10");
    EXPECT_EQ(r.counters[11], 5u);
    EXPECT_STREQ(r.holders[11].data(), "LATE");
    // Reaching a record is not beating it: whoever saved it first keeps it.
    EXPECT_STREQ(r.holders[12].data(), "R12");
    EXPECT_EQ(r.counters[447], 447u);
    EXPECT_EQ(g.record_statistics.holders, r.holders);
}

// A child process that ends one game after another: each round it plays better on its own
// counters (even or odd) and on the shared last one, loads, names its records and saves.
[[noreturn]] void keep_saving(const ScoreDirectory& dir, int start_fd, int parity, const char* name) {
    char go = 0;
    while (::read(start_fd, &go, 1) < 0) {
    }
    for (std::uint32_t round = 1; round <= 40; ++round) {
        Game g;
        for (int i = parity; i < counter_count - 1; i += 2) g.current_statistics.counters[i] = round;
        g.current_statistics.counters[447] = 2 * round + static_cast<std::uint32_t>(parity);
        load_records(g, dir.path());
        name_holders(g, name);
        if (!save_records(g, dir.path())) ::_exit(2);
    }
    ::_exit(0);
}

// A third process that reads "score.dat" over and over while the games save: every read finds
// no file yet, or a whole one. Exits 0 when it read at least one whole file and nothing else.
[[noreturn]] void keep_reading(const ScoreDirectory& dir, int start_fd, int done_fd) {
    char go = 0;
    while (::read(start_fd, &go, 1) < 0) {
    }
    int whole = 0;
    for (;;) {
        // The games are done once the test closes its end of the pipe; one more read after.
        pollfd done{done_fd, POLLIN, 0};
        const bool last = ::poll(&done, 1, 0) > 0;
        const auto bytes = dir.read_score_file();
        if (!bytes.empty()) {
            if (bytes.size() != 8516 || le32_at(bytes, 0) != 10100) ::_exit(1);
            ++whole;
        }
        if (last) ::_exit(whole > 0 ? 0 : 2);
    }
}

TEST(ScoreFile, TwoGamesSavingAtOnceLoseNothing) {
    ScoreDirectory dir;
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    int done[2];
    ASSERT_EQ(::pipe(done), 0);
    const pid_t reader = ::fork();
    ASSERT_GE(reader, 0);
    if (reader == 0) {
        ::close(start[1]);
        ::close(done[1]);
        keep_reading(dir, start[0], done[0]);
    }
    ::close(done[0]);
    const char* names[2] = {"EVEN", "ODD"};
    pid_t children[2];
    for (int parity = 0; parity < 2; ++parity) {
        children[parity] = ::fork();
        ASSERT_GE(children[parity], 0);
        if (children[parity] == 0) {
            ::close(start[1]);
            ::close(done[1]);
            keep_saving(dir, start[0], parity, names[parity]);
        }
    }
    ::close(start[0]);
    ::close(start[1]);  // both go at once
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    ::close(done[1]);
    int read_status = 0;
    ASSERT_EQ(::waitpid(reader, &read_status, 0), reader);
    EXPECT_TRUE(WIFEXITED(read_status) && WEXITSTATUS(read_status) == 0) << "a read found a torn or short file";

    EXPECT_EQ(dir.entries(), score_and_lock);
    Game g;
    load_records(g, dir.path());
    for (int i = 0; i < counter_count - 1; ++i) {
        ASSERT_EQ(g.record_statistics.counters[i], 40u) << i;
        ASSERT_STREQ(g.record_statistics.holders[i].data(), names[i % 2]) << i;
    }
    EXPECT_EQ(g.record_statistics.counters[447], 81u);
    EXPECT_STREQ(g.record_statistics.holders[447].data(), "ODD");
}

}  // namespace
}  // namespace qm
