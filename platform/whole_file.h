#pragma once
// Reading a file whole, and replacing one whole so that a crash at any
// moment leaves either the old file or the new one, never a mix.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace platform {

// Reads the file into `bytes`. A file larger than maxSize is not read and
// gives errc::file_too_large.
std::error_code ReadWholeFile(const std::filesystem::path& file, std::string& bytes,
                              std::size_t maxSize);

// Writes the bytes to a new file in the same folder ("<file>.tmp-<pid>-<n>"),
// flushes it to the disk, renames it over `file` and flushes the folder
// entry. Missing folders are created. On failure `file` is untouched and the
// temporary file removed; a process killed mid-write leaves it behind.
std::error_code ReplaceWholeFile(const std::filesystem::path& file, std::string_view contents);

}  // namespace platform
