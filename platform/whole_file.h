#pragma once
// Reading a file whole, replacing one whole so that a crash at any moment
// leaves either the old file or the new one, never a mix, and setting a bad
// file aside under a name of its own.
//
// A replacement is written to "<file>.tmp-<pid>-<n>" beside the file, flushed
// to the disk, renamed over it and the folder entry flushed. A process
// killed mid-write leaves its temporary file behind; the next replacement of
// the same file (or RemoveStaleTemporaries) removes those whose process is
// gone. A symbolic link stays a link: its target is replaced. The new file
// keeps the old one's permissions.
//
// Any thread may call these; one FileReplacement belongs to one thread.

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

// A new content for a file, written through Fd() and put in the file's
// place by Commit(). Until then the old file is untouched; a replacement
// never committed removes its temporary file.
class FileReplacement {
  public:
    // Opens the temporary file beside `file` (its folder must exist), first
    // removing stale temporary files of the same file.
    explicit FileReplacement(const std::filesystem::path& file);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Why the temporary file could not be made; Fd() is then -1.
    std::error_code Error() const { return error_; }
    int Fd() const { return fd_; }
    // The file the content replaces (a symbolic link's target).
    const std::filesystem::path& Target() const { return target_; }

    // Flushes and closes the temporary file, renames it over the target and
    // flushes the folder. On failure the old file stays and the temporary
    // file is removed.
    std::error_code Commit();

  private:
    std::filesystem::path target_;
    std::string temp_;
    int fd_ = -1;
    std::error_code error_;
    bool renamed_ = false;
};

// Writes the bytes through a FileReplacement; missing folders are created.
std::error_code ReplaceWholeFile(const std::filesystem::path& file, std::string_view contents);

// Removes "<file>.tmp-<pid>-<n>" files beside `file` whose process is gone.
// Those of this process and of running ones are kept.
void RemoveStaleTemporaries(const std::filesystem::path& file);

// Renames `file` to "<file>.<tag>-<YYYYMMDD>-<n>" (the UTC date) with the
// first n from 0 that names no file yet, never replacing one; `keptAs`
// receives the new name.
std::error_code RenameAside(const std::filesystem::path& file, std::string_view tag,
                            std::filesystem::path& keptAs);

}  // namespace platform
