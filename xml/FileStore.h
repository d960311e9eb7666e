#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quorlex {

struct FileError {
    std::u16string what; // "cannot open", "cannot read", ...
    int number = 0;      // errno
};

// Reads a whole file into bytes.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, FileError& error);

// Replaces the file with bytes: they go to a temporary file in the same
// folder, which is flushed to disk and then renamed over the old file. A
// failure at any step leaves the old file as it was.
bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes, FileError& error);

} // namespace quorlex
