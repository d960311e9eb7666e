#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quorlex {

// The per-user cache folder of this program: $XDG_CACHE_HOME/quorlex, or
// ~/.cache/quorlex when that variable is unset or not an absolute path.
// Empty when neither it nor $HOME is usable.
std::filesystem::path UserCacheFolder();

// Replaces the file with bytes through a temporary file in the same folder and
// a rename, so a crash or a full disk never leaves a half-written file. The
// folder is created when needed.
bool WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// The whole file, or nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file);

} // namespace quorlex
