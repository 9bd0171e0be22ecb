// Helpers for the records tests: a scratch directory for score files, and whole score files.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <stdlib.h>

#include "records/score_file.h"

namespace qm::test {

// A fresh directory, removed with everything in it when the test ends.
class ScoreDirectory {
public:
    ScoreDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillmire-scores-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~ScoreDirectory() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path score_file() const { return path_ / score_file_name; }
    std::vector<std::uint8_t> read_score_file() const {
        std::ifstream in(score_file(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // A new file each time: truncating one that has data waits for the disk on some systems.
    void write_score_file(const std::vector<std::uint8_t>& bytes) const {
        std::filesystem::remove(score_file());
        std::ofstream(score_file(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // How many files there are besides "score.dat" and its lock: saves that never landed.
    long leftovers() const {
        return std::distance(std::filesystem::directory_iterator(path_), {}) - std::filesystem::exists(score_file()) -
               std::filesystem::exists(std::filesystem::symlink_status(path_ / score_lock_name));
    }

private:
    std::filesystem::path path_;
};

// A whole file whose counter i holds base + i (little-endian) and whose holder i is the prefix
// and i.
inline std::vector<std::uint8_t> score_bytes(std::uint32_t version, std::uint32_t base, const std::string& prefix) {
    std::vector<std::uint8_t> b(score_file_size, 0);
    for (std::size_t i = 0; i <= counter_count; ++i) {
        const std::uint32_t value = i == 0 ? version : base + static_cast<std::uint32_t>(i - 1);
        for (std::size_t k = 0; k < 4; ++k) b[4 * i + k] = static_cast<std::uint8_t>(value >> (8 * k));
    }
    for (std::size_t i = 0; i < counter_count; ++i) {
        const std::string name = prefix + std::to_string(i);
        std::memcpy(&b[4 + 4 * counter_count + holder_name_size * i], name.c_str(), name.size() + 1);
    }
    return b;
}

}  // namespace qm::test
