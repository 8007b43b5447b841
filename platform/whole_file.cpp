#include "platform/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <utility>

#include "platform/unique_fd.h"

namespace platform {
namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

std::error_code WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

std::error_code SyncFolder(const std::filesystem::path& folder) {
    const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() < 0) return LastError();
    // Some file systems cannot flush a folder; the rename is then as durable
    // as they make it.
    if (::fsync(fd.Get()) != 0 && errno != EINVAL) return LastError();
    return {};
}

// "<name>.tmp-<pid>-<n>": the process id when the name is of that form.
std::optional<pid_t> TemporaryOwner(std::string_view entry, std::string_view name) {
    const std::string prefix = std::string(name) + ".tmp-";
    if (!entry.starts_with(prefix)) return std::nullopt;
    entry.remove_prefix(prefix.size());
    const std::size_t dash = entry.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash + 1 == entry.size()) return std::nullopt;
    const auto digits = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!digits(entry.substr(0, dash)) || !digits(entry.substr(dash + 1))) return std::nullopt;
    long long pid = 0;
    const auto [end, error] = std::from_chars(entry.data(), entry.data() + dash, pid);
    if (error != std::errc{} || end != entry.data() + dash || pid <= 0) return std::nullopt;
    return static_cast<pid_t>(pid);
}

bool ProcessRuns(pid_t pid) {
    return pid == ::getpid() || ::kill(pid, 0) == 0 || errno == EPERM;
}

// The file a replacement goes to: a symbolic link's target, so the link stays.
std::filesystem::path ReplacedFile(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::is_symlink(file, error)) return file;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(file, error);
    return error ? file : resolved;
}

std::filesystem::path FolderOf(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

std::string UtcDate() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    ::gmtime_r(&now, &parts);
    char text[16];
    std::strftime(text, sizeof text, "%Y%m%d", &parts);
    return text;
}

// Renames without ever replacing `to`: EEXIST when it exists.
int RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system without the flag: a new link fails on an existing name.
    if (::link(from.c_str(), to.c_str()) != 0) return errno;
    if (::unlink(from.c_str()) != 0) {
        const int error = errno;
        ::unlink(to.c_str());
        return error;
    }
    return 0;
}

}  // namespace

std::error_code ReadWholeFile(const std::filesystem::path& file, std::string& bytes,
                              std::size_t maxSize) {
    const UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) return LastError();
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) return LastError();
    if (S_ISDIR(info.st_mode)) return std::make_error_code(std::errc::is_a_directory);
    if (static_cast<std::uintmax_t>(info.st_size) > maxSize) {
        return std::make_error_code(std::errc::file_too_large);
    }
    bytes.clear();
    // Room for the whole file at once: growing as it comes would copy it
    // again at every step.
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        if (got == 0) return {};
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > maxSize) return std::make_error_code(std::errc::file_too_large);
    }
}

FileReplacement::FileReplacement(const std::filesystem::path& file)
    : target_(ReplacedFile(file)) {
    if (!target_.has_filename()) {
        error_ = std::make_error_code(std::errc::is_a_directory);
        return;
    }
    RemoveStaleTemporaries(target_);
    struct stat old {};
    const bool exists = ::stat(target_.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        error_ = std::make_error_code(std::errc::is_a_directory);
        return;
    }
    static std::atomic<unsigned> counter{0};
    const std::string stem = target_.string() + ".tmp-" + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temp_ = stem + std::to_string(counter++);
        fd_ = ::open(temp_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        error_ = LastError();
        temp_.clear();
        return;
    }
    if (exists) ::fchmod(fd_, old.st_mode & 07777);  // the new file keeps the old permissions
}

FileReplacement::~FileReplacement() {
    if (fd_ >= 0) ::close(fd_);
    if (!temp_.empty() && !renamed_) ::unlink(temp_.c_str());
}

std::error_code FileReplacement::Commit() {
    if (fd_ < 0) return error_ ? error_ : std::make_error_code(std::errc::bad_file_descriptor);
    std::error_code error;
    if (::fsync(fd_) != 0) error = LastError();
    UniqueFd closing(std::exchange(fd_, -1));
    if (!closing.Close() && !error) error = LastError();
    if (!error && ::rename(temp_.c_str(), target_.c_str()) != 0) error = LastError();
    if (error) return error;
    renamed_ = true;
    return SyncFolder(FolderOf(target_));
}

std::error_code ReplaceWholeFile(const std::filesystem::path& file, std::string_view contents) {
    std::error_code error;
    std::filesystem::create_directories(FolderOf(file), error);
    if (error) return error;
    FileReplacement replacement(file);
    if (auto failed = replacement.Error()) return failed;
    if (auto failed = WriteAll(replacement.Fd(), contents)) return failed;
    return replacement.Commit();
}

void RemoveStaleTemporaries(const std::filesystem::path& file) {
    const std::string name = file.filename().string();
    std::error_code error;
    for (std::filesystem::directory_iterator entry(FolderOf(file), error), end;
         !error && entry != end; entry.increment(error)) {
        const std::string entryName = entry->path().filename().string();
        const std::optional<pid_t> owner = TemporaryOwner(entryName, name);
        if (owner && !ProcessRuns(*owner)) ::unlink(entry->path().c_str());
    }
}

std::error_code RenameAside(const std::filesystem::path& file, std::string_view tag,
                            std::filesystem::path& keptAs) {
    const std::string stem = file.string() + "." + std::string(tag) + "-" + UtcDate() + "-";
    for (int n = 0; n < 10000; ++n) {
        std::filesystem::path candidate = stem + std::to_string(n);
        const int error = RenameNoReplace(file, candidate);
        if (error == 0) {
            keptAs = std::move(candidate);
            return {};
        }
        if (error != EEXIST) return {error, std::generic_category()};
    }
    return std::make_error_code(std::errc::file_exists);
}

}  // namespace platform
