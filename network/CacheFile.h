#pragma once

#include "common/FileStore.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace quorlex {

// The per-user cache folder of this program: $XDG_CACHE_HOME/quorlex, or
// ~/.cache/quorlex when that variable is unset or not an absolute path.
// Empty when neither it nor $HOME is usable.
std::filesystem::path UserCacheFolder();

// Replaces the cache file with bytes the careful way (ReplaceFile), creating
// its folder when needed.
bool WriteCacheFile(const std::filesystem::path& file, std::string_view bytes, FileError& error);

// What the surveyor is told when a fetched source table could not be cached.
std::u16string CacheSaveFailedText(const std::filesystem::path& file, const FileError& error);

} // namespace quorlex
