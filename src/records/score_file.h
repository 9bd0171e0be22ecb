// The score file: the record statistics behind a version word, kept in "score.dat" between
// runs. It is the player's only lasting possession, so a save either lands whole or leaves the
// old file as it was, and two games that end together both keep what they won.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "world/game.h"

namespace qm {

constexpr std::uint32_t score_file_version = 10100;
// Files from every version since this one hold the same layout.
constexpr std::uint32_t oldest_score_file_version = 10000;
constexpr std::size_t score_file_size = 8516;
constexpr const char* score_file_name = "score.dat";
// Saves take turns on this file; it stays behind empty.
constexpr const char* score_lock_name = "score.dat.lock";

// Reads "score.dat" in the directory (the game's score_directory when none is given) into the record statistics. A missing, unreadable or
// too old file leaves them as they were; a short file replaces only the bytes it holds.
void load_records(Game& game, const std::filesystem::path& directory);
inline void load_records(Game& game) { load_records(game, game.score_directory); }

// Raises the record statistics to the current ones, merges in whatever another game saved
// since, and replaces "score.dat" in the directory with the result. Returns true when the
// file now holds the records; false when it could not be written (the old file is untouched
// and the raised records stay in memory) or when "score.dat" is write-protected. Only a game
// that beat a record saves, so a game that beat nothing leaves the file as it was.
bool save_records(Game& game, const std::filesystem::path& directory);
inline bool save_records(Game& game) { return save_records(game, game.score_directory); }

}  // namespace qm
