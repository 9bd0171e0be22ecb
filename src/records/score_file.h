// The score file: the record statistics behind a version word, kept in "score.dat" between
// runs. It is the player's only lasting possession, so a save either lands whole or leaves the
// old file as it was, and two games that end together both keep what they won. Only a file no
// new one can replace (one the players of a machine share, in a folder they may not write to)
// is rewritten in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "world/game.h"

namespace qm {

constexpr std::uint32_t score_file_version = 10100;
// Files from every version since this one hold the same layout.
constexpr std::uint32_t oldest_score_file_version = 10000;
constexpr std::size_t score_file_size = 8516;
constexpr const char* score_file_name = "score.dat";
// Saves take turns on this file, beside the file saved and named after it, where it can be
// made; it stays behind empty.
constexpr const char* score_lock_name = "score.dat.lock";

// Reads "score.dat" in the directory (the game's score_directory when none is given) into the record statistics. A missing, unreadable or
// too old file leaves them as they were; a short file replaces only the bytes it holds.
void load_records(Game& game, const std::filesystem::path& directory);
inline void load_records(Game& game) { load_records(game, game.score_directory); }

// Raises the record statistics to the current ones, merges in whatever another game saved
// since, and saves the result to "score.dat" in the directory, or to the file it links to.
// Returns why the records could not be saved, in a few words, or nothing when the file holds
// them now. When it fails, the raised records stay in memory and the file is as it was: one
// that is write-protected, cannot be read or is not a regular file is never saved over. Only
// a game that beat a record saves, so a game that beat nothing leaves the file as it was.
std::string save_records(Game& game, const std::filesystem::path& directory);
inline std::string save_records(Game& game) { return save_records(game, game.score_directory); }

}  // namespace qm
