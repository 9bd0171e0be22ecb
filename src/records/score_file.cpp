#include "records/score_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <random>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "records/statistics.h"

namespace qm {
namespace {

constexpr std::size_t payload_size = score_file_size - 4;
constexpr std::size_t holders_offset = 4 * counter_count;

constexpr char mark_characters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

using Payload = std::array<unsigned char, payload_size>;
using FileBytes = std::array<unsigned char, score_file_size>;

static_assert(payload_size == holders_offset + holder_name_size * counter_count);

void put_u32(unsigned char* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint32_t get_u32(const unsigned char* in) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(in[i]) << (8 * i);
    return value;
}

void encode(const StatisticsBlock& block, unsigned char* out) {
    for (int i = 0; i < counter_count; ++i) put_u32(out + 4 * i, block.counters[i]);
    for (int i = 0; i < counter_count; ++i) {
        std::memcpy(out + holders_offset + holder_name_size * i, block.holders[i].data(), holder_name_size);
    }
}

void decode(const unsigned char* in, StatisticsBlock& block) {
    for (int i = 0; i < counter_count; ++i) block.counters[i] = get_u32(in + 4 * i);
    for (int i = 0; i < counter_count; ++i) {
        std::memcpy(block.holders[i].data(), in + holders_offset + holder_name_size * i, holder_name_size);
    }
}

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd = -1;
    explicit Descriptor(int d) : fd(d) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    int release() {
        const int d = fd;
        fd = -1;
        return d;
    }
};

// Bytes read until the end of the file or the buffer is full; -1 on a read error.
long read_fully(int fd, unsigned char* buffer, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, buffer + got, size - got);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        got += static_cast<std::size_t>(n);
    }
    return static_cast<long>(got);
}

// Writes the whole buffer from the start of the file; false with errno set when it could not.
bool write_fully(int fd, const unsigned char* buffer, std::size_t size) {
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::pwrite(fd, buffer + done, size - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The system's words for an error, in English whatever the locale, as the game's screen shows
// code page 437 glyphs and not the locale's characters.
std::string system_text(int error) {
    const char* text = ::strerrordesc_np(error);
    return text != nullptr ? text : "Unknown error " + std::to_string(error);
}

std::string not_a_file_text(mode_t mode) { return S_ISDIR(mode) ? system_text(EISDIR) : "Not a regular file"; }

enum class Read { records, nothing, failed };

// Lays the file's payload over the block, so a short file changes only the bytes it holds.
// Nothing when the file is too short for its version word or older than the layout: the block
// is then left alone, as it is when the file cannot be read.
Read read_records(int fd, StatisticsBlock& block) {
    FileBytes bytes{};
    const long got = read_fully(fd, bytes.data(), bytes.size());
    if (got < 0) return Read::failed;
    if (got < 4 || get_u32(bytes.data()) < oldest_score_file_version) return Read::nothing;

    Payload payload{};
    encode(block, payload.data());
    std::memcpy(payload.data(), bytes.data() + 4, static_cast<std::size_t>(got) - 4);
    decode(payload.data(), block);
    return Read::records;
}

// Keeps, counter by counter, the file's record where it is at least as good as this game's:
// a game that saved first and reached the same value got there first.
void keep_better(const StatisticsBlock& on_disk, StatisticsBlock& record) {
    for (int i = 0; i < counter_count; ++i) {
        if (on_disk.counters[i] >= record.counters[i]) {
            record.counters[i] = on_disk.counters[i];
            record.holders[i] = on_disk.holders[i];
        }
    }
}

// Where "score.dat" leads: the end of its chain of links, each read against the folder it
// lies in, so that a link to a shared or synced file saves into that file and stays a link. A
// dangling link leads to the file it names, which the save makes. Empty on success.
std::string follow_links(std::filesystem::path& path) {
    constexpr int most_links = 40;  // as many as the system follows in a path
    for (int links = 0;; ++links) {
        std::error_code error;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) return {};
        if (links == most_links) return system_text(ELOOP);
        const std::filesystem::path next = std::filesystem::read_symlink(path, error);
        if (error) return system_text(error.value());
        path = path.parent_path() / next;  // an absolute link replaces the whole path
    }
}

void wait_for_lock(int fd) {
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
}

// Held for the length of a save, so that two games ending together take turns: the lock file
// beside the file saved wherever it can be opened, and always the file itself, since the lock
// file cannot be used everywhere (another player's, a folder the game may not write to).
struct SaveLock {
    Descriptor lock_file{-1};
    Descriptor file{-1};
};

// Empty once the lock is held and lock.file is the target, opened for reading and writing.
std::string take_save_lock(const std::filesystem::path& target, SaveLock& lock) {
    const std::string lock_name = target.string() + ".lock";
    lock.lock_file.fd = ::open(lock_name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (lock.lock_file.fd < 0) lock.lock_file.fd = ::open(lock_name.c_str(), O_RDONLY | O_CLOEXEC);
    if (lock.lock_file.fd >= 0) wait_for_lock(lock.lock_file.fd);
    for (;;) {
        // Reading and writing: a file the player has write-protected is kept as it is, and one
        // that cannot be read is not saved over, as its records could not be kept. The links
        // are followed already; non-blocking, so that nothing by that name can hang the game.
        Descriptor file(::open(target.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666));
        if (file.fd < 0) return system_text(errno);
        wait_for_lock(file.fd);
        struct stat held {}, now {};
        if (::fstat(file.fd, &held) != 0) return system_text(errno);
        if (!S_ISREG(held.st_mode)) return not_a_file_text(held.st_mode);
        // A save that renamed a new file over the one waited on leaves the waiter the old one.
        if (::lstat(target.c_str(), &now) != 0 && errno != ENOENT) return system_text(errno);
        if (now.st_dev == held.st_dev && now.st_ino == held.st_ino) {
            lock.file.fd = file.release();
            return {};
        }
    }
}

// The six characters after "score.dat." that name a save's new file, and by which a later save
// knows what a killed one left: letters and digits as the system picks them, mixing capitals,
// small letters and digits, which no copy a player names by hand ("score.dat.backup",
// "score.dat.old123") is likely to do.
bool save_mark(std::string_view six) {
    const auto any = [&](int (*is)(int)) {
        return std::any_of(six.begin(), six.end(), [&](char c) { return is(static_cast<unsigned char>(c)) != 0; });
    };
    const bool all_alnum = std::all_of(six.begin(), six.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
    return six.size() == 6 && all_alnum && any(std::isupper) && any(std::islower) && any(std::isdigit);
}

// A fresh file beside the target for a save to write, named by a save mark drawn afresh (from
// the system, never from the game's own generator) until the name is free; -1 when the folder
// takes no new file.
int make_new_file(const std::filesystem::path& target, std::string& name) {
    std::random_device entropy;
    for (;;) {
        std::string six(6, ' ');
        while (!save_mark(six)) {
            for (char& c : six) c = mark_characters[entropy() % (sizeof mark_characters - 1)];
        }
        name = target.string() + "." + six;
        const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
}

// Removes what saves killed between making their new file and renaming it left beside the
// target: plain files named after it, a dot and a save mark.
void remove_leftovers(const std::filesystem::path& target) {
    const std::string prefix = target.filename().string() + ".";
    std::error_code error;
    for (std::filesystem::directory_iterator it(target.parent_path(), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code ignored;
        if (name.size() == prefix.size() + 6 && name.starts_with(prefix) &&
            save_mark(std::string_view(name).substr(prefix.size())) &&
            it->symlink_status(ignored).type() == std::filesystem::file_type::regular) {
            ::unlink(it->path().c_str());
        }
    }
}

enum class Replaced { yes, failed, not_here };

// Writes the bytes to a fresh file beside the target, makes them durable and renames the file
// over the target, so that a crash or a full disk leaves either the old file or the new one.
// Not here when the folder takes no new file, or the new file cannot have the old one's owner
// (a file shared by the players of a machine stays theirs): the caller saves in place.
Replaced replace_file(const std::filesystem::path& target, const struct stat& old, const FileBytes& bytes,
                      std::string& failure) {
    std::string temporary;
    Descriptor file(make_new_file(target, temporary));
    if (file.fd < 0) return Replaced::not_here;
    struct stat made {};
    if (::fstat(file.fd, &made) != 0 ||
        ((made.st_uid != old.st_uid || made.st_gid != old.st_gid) && ::fchown(file.fd, old.st_uid, old.st_gid) != 0)) {
        ::unlink(temporary.c_str());
        return Replaced::not_here;
    }
    const bool written = write_fully(file.fd, bytes.data(), bytes.size()) &&
                         ::fchmod(file.fd, old.st_mode & 07777) == 0 && ::fsync(file.fd) == 0 &&
                         ::close(file.release()) == 0;
    if (!written) {
        failure = system_text(errno);
        ::unlink(temporary.c_str());
        return Replaced::failed;
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return Replaced::not_here;
    }
    // The rename itself reaches the disk only with the folder.
    Descriptor folder(::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.fd >= 0) ::fsync(folder.fd);
    return Replaced::yes;
}

// Rewrites the file where it lies. A crash in the middle may tear it, so this is only for a
// file that no new one can replace.
std::string save_in_place(int fd, const FileBytes& bytes) {
    if (!write_fully(fd, bytes.data(), bytes.size()) || ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 ||
        ::fsync(fd) != 0) {
        return system_text(errno);
    }
    return {};
}

}  // namespace

void load_records(Game& game, const std::filesystem::path& directory) {
    // Read only: a write-protected file still holds the player's records. Non-blocking, so a
    // pipe by that name cannot hang the game; anything but a plain file is no score file.
    Descriptor file(::open((directory / score_file_name).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) return;
    read_records(file.fd, game.record_statistics);
}

std::string save_records(Game& game, const std::filesystem::path& directory) {
    record_best_values(game.current_statistics, game.record_statistics);

    std::filesystem::path target = directory / score_file_name;
    if (std::string failure = follow_links(target); !failure.empty()) return failure;
    // Anything but a plain file is left as it is, not even opened: a device may act on that.
    struct stat info {};
    if (::lstat(target.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) return not_a_file_text(info.st_mode);
    } else if (errno != ENOENT) {
        return system_text(errno);
    }
    SaveLock lock;
    if (std::string failure = take_save_lock(target, lock); !failure.empty()) return failure;
    remove_leftovers(target);

    // Another game may have saved since this one loaded; what it won stays won.
    StatisticsBlock on_disk = game.record_statistics;
    switch (read_records(lock.file.fd, on_disk)) {
        case Read::failed: return system_text(errno);
        case Read::records: keep_better(on_disk, game.record_statistics); break;
        case Read::nothing: break;
    }

    FileBytes bytes{};
    put_u32(bytes.data(), score_file_version);
    encode(game.record_statistics, bytes.data() + 4);
    struct stat old {};
    if (::fstat(lock.file.fd, &old) != 0) return system_text(errno);
    std::string failure;
    switch (replace_file(target, old, bytes, failure)) {
        case Replaced::yes: return {};
        case Replaced::failed: return failure;
        case Replaced::not_here: break;
    }
    return save_in_place(lock.file.fd, bytes);
}

}  // namespace qm
