// A scratch directory for the fuzz targets' score files, in memory where the machine has
// /dev/shm (a save syncs its file, which costs nothing there), removed when the fuzzer exits.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <stdlib.h>
#include <unistd.h>

namespace qm::fuzz {

inline std::filesystem::path& scratch_directory() {
    static std::filesystem::path path;
    return path;
}

inline void remove_scratch_directory() {
    std::error_code ignored;
    std::filesystem::remove_all(scratch_directory(), ignored);
}

inline void make_scratch_directory() {
    const std::filesystem::path base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::filesystem::temp_directory_path();
    std::string pattern = (base / "quillmire-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    scratch_directory() = pattern;
    std::atexit(remove_scratch_directory);
}

}  // namespace qm::fuzz
