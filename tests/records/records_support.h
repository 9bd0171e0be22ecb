// Helpers for the records tests: a scratch directory for score files, little-endian words,
// holder names.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <stdlib.h>

#include "records/statistics_block.h"

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
    ScoreDirectory(const ScoreDirectory&) = delete;
    ScoreDirectory& operator=(const ScoreDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path score_file() const { return path_ / "score.dat"; }

    std::vector<std::uint8_t> read_score_file() const {
        std::ifstream in(score_file(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void write_score_file(const std::vector<std::uint8_t>& bytes) const {
        std::ofstream out(score_file(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // Names of everything in the directory, sorted.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline std::uint32_t le32_at(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) | static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

inline void put_le32_at(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::array<char, holder_name_size> holder_of(const std::string& text) {
    std::array<char, holder_name_size> h{};
    std::copy(text.begin(), text.end(), h.begin());
    return h;
}

}  // namespace qm::test
