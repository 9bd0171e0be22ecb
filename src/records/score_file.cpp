#include "records/score_file.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "records/statistics.h"

namespace qm {
namespace {

constexpr std::size_t payload_size = score_file_size - 4;
constexpr std::size_t holders_offset = 4 * counter_count;

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

bool write_fully(int fd, const unsigned char* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, buffer + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Lays the file's payload over the block, so a short file changes only the bytes it holds.
// Returns false, leaving the block alone, when there is no regular file to read, it cannot
// be read, or its version word is missing or too old.
bool read_score_file(const std::string& path, StatisticsBlock& block) {
    // Read only: a write-protected file still holds the player's records. Non-blocking, so a
    // pipe by that name cannot hang the game; anything but a plain file is no score file.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.fd < 0) return false;
    struct stat info {};
    if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;

    FileBytes bytes{};
    const long got = read_fully(file.fd, bytes.data(), bytes.size());
    if (got < 4) return false;
    if (get_u32(bytes.data()) < oldest_score_file_version) return false;

    Payload payload{};
    encode(block, payload.data());
    std::memcpy(payload.data(), bytes.data() + 4, static_cast<std::size_t>(got) - 4);
    decode(payload.data(), block);
    return true;
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

// Held for the length of a save, so two games that end together take turns. Without a lock
// file (an unwritable directory) the save goes ahead unguarded and will most likely fail.
struct SaveLock {
    Descriptor file;
    explicit SaveLock(const std::string& path)
        : file(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666)) {
        if (file.fd < 0) file.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (file.fd < 0) return;
        while (::flock(file.fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
};

mode_t new_file_mode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Writes the bytes to a fresh file beside the target, makes them durable and renames the file
// over the target, so a crash or a full disk leaves either the old file or the new one.
bool replace_file(const std::filesystem::path& directory, const std::string& target,
                  const FileBytes& bytes, mode_t mode) {
    std::string temporary = (directory / (std::string(score_file_name) + ".XXXXXX")).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return false;
    Descriptor file(fd);
    bool written = write_fully(file.fd, bytes.data(), bytes.size()) && ::fchmod(file.fd, mode) == 0 &&
                   ::fsync(file.fd) == 0;
    written = ::close(file.release()) == 0 && written;
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk only with the directory.
    Descriptor folder(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.fd >= 0) ::fsync(folder.fd);
    return true;
}

}  // namespace

void load_records(Game& game, const std::filesystem::path& directory) {
    read_score_file((directory / score_file_name).string(), game.record_statistics);
}

bool save_records(Game& game, const std::filesystem::path& directory) {
    record_best_values(game.current_statistics, game.record_statistics);

    const std::string target = (directory / score_file_name).string();
    SaveLock lock((directory / score_lock_name).string());

    // Another game may have saved since this one loaded; what it won stays won.
    StatisticsBlock on_disk = game.record_statistics;
    if (read_score_file(target, on_disk)) keep_better(on_disk, game.record_statistics);

    mode_t mode = new_file_mode();
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        // A score file the player cannot write is one they mean to keep as it is.
        if (::access(target.c_str(), W_OK) != 0) return false;
        mode = info.st_mode & 07777;
    }

    FileBytes bytes{};
    put_u32(bytes.data(), score_file_version);
    encode(game.record_statistics, bytes.data() + 4);
    return replace_file(directory, target, bytes, mode);
}

}  // namespace qm
