// "score.dat" is the one thing the game reads that the player can hand it: any bytes, any
// length. Whatever it holds, loading lays exactly the bytes it has over the records (only for
// a known version), and a save afterwards writes a whole file that reads back the same.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

#include "fuzz_scratch.h"
#include "records/score_file.h"

namespace {

using qm::StatisticsBlock;

constexpr std::size_t holders_at = 4 + 4 * qm::counter_count;

void write_file(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) std::abort();
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0) std::abort();
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

// Records nobody would mistake for a file's: counter i holds 0xA5A50000 + i, every holder "#".
void fill(StatisticsBlock& block) {
    for (int i = 0; i < qm::counter_count; ++i) {
        block.counters[i] = 0xA5A50000u + static_cast<std::uint32_t>(i);
        block.holders[i].fill('#');
    }
}

// The file's bytes from offset 4 on, laid over the block byte by byte: counters little-endian,
// then the holders' 15 bytes each.
StatisticsBlock laid_over(StatisticsBlock block, const std::uint8_t* data, std::size_t size) {
    const std::size_t end = std::min(size, qm::score_file_size);
    for (std::size_t at = 4; at < end; ++at) {
        if (at < holders_at) {
            const std::size_t i = (at - 4) / 4;
            const unsigned shift = 8 * static_cast<unsigned>((at - 4) % 4);
            block.counters[i] = (block.counters[i] & ~(0xFFu << shift)) | static_cast<std::uint32_t>(data[at]) << shift;
        } else {
            const std::size_t i = (at - holders_at) / qm::holder_name_size;
            block.holders[i][(at - holders_at) % qm::holder_name_size] = static_cast<char>(data[at]);
        }
    }
    return block;
}

// Two games for every run: one loads and saves, one reads the save back. Only their records
// are used, and those are set afresh each time.
std::unique_ptr<qm::Game> loader;
std::unique_ptr<qm::Game> reader;

void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "score file: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qm::fuzz::make_scratch_directory();
    loader = std::make_unique<qm::Game>();
    reader = std::make_unique<qm::Game>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path& dir = qm::fuzz::scratch_directory();
    write_file(dir / qm::score_file_name, data, size);

    qm::Game* game = loader.get();
    game->current_statistics = StatisticsBlock{};
    fill(game->record_statistics);
    const StatisticsBlock before = game->record_statistics;
    qm::load_records(*game, dir);

    std::uint32_t version = 0;
    if (size >= 4) std::memcpy(&version, data, 4);  // the machine is little-endian, as the file
    const bool known = size >= 4 && version >= qm::oldest_score_file_version;
    const StatisticsBlock expected = known ? laid_over(before, data, size) : before;
    require(game->record_statistics.counters == expected.counters, "counters not as the file has them");
    require(game->record_statistics.holders == expected.holders, "holders not as the file has them");

    require(qm::save_records(*game, dir).empty(), "a save into a writable directory failed");
    require(std::filesystem::file_size(dir / qm::score_file_name) == qm::score_file_size, "a saved file is not whole");
    qm::Game* again = reader.get();
    again->record_statistics = StatisticsBlock{};
    qm::load_records(*again, dir);
    require(again->record_statistics.counters == game->record_statistics.counters, "saved counters read back otherwise");
    require(again->record_statistics.holders == game->record_statistics.holders, "saved holders read back otherwise");
    return 0;
}
