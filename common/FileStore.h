#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quorlex {

struct FileError {
    std::u16string what; // "cannot open", "cannot read", ...
    int number = 0;      // errno
};

// Reads a whole regular file into bytes.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, FileError& error);

// Replaces the file's contents with bytes, so that the surveyor's file is
// never left half written and never silently turned into something else:
// - a symbolic link is followed and its final target replaced; the link stays;
// - an existing file that cannot be written makes the save fail, untouched;
// - the bytes go to a temporary file beside the target, flushed to disk and
//   renamed over it, so a failure at any step leaves the old file as it was;
// - when the folder cannot take a temporary file but the file itself is
//   writable, the file is rewritten in place and flushed instead, since
//   refusing would lose the change;
// - a new file gets mode 0600; a replaced one keeps its mode and owner.
bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes, FileError& error);

// Writes bytes to a file that must not exist yet (EEXIST otherwise), flushed
// to disk, mode 0600. A failed write removes what it created.
bool WriteNewFile(const std::filesystem::path& path, std::string_view bytes, FileError& error);

// Creates the folder the file goes into, and its parents, when missing.
bool MakeParentFolders(const std::filesystem::path& path, FileError& error);

// Why a file operation failed, in the program's language: the system's
// reason for the errno value, with the number itself.
std::u16string FileErrorText(const FileError& error);

// A path as the surveyor reads it; bytes that are not UTF-8 show as U+FFFD.
std::u16string PathText(const std::filesystem::path& path);

} // namespace quorlex
