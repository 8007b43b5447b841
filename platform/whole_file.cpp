#include "platform/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
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

// A new file beside the target, removed again unless it was renamed.
class TempFile {
  public:
    explicit TempFile(const std::filesystem::path& target) {
        static std::atomic<unsigned> counter{0};
        const std::string stem = target.string() + ".tmp-" + std::to_string(::getpid()) + "-";
        for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
            path_ = stem + std::to_string(counter++);
            fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ < 0 && errno != EEXIST) break;
        }
        if (fd_ < 0) error_ = LastError();
        created_ = fd_ >= 0;
    }
    ~TempFile() {
        if (fd_ >= 0) ::close(fd_);
        if (created_ && !renamed_) ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    std::error_code Error() const { return error_; }

    std::error_code WriteAndSync(std::string_view contents) {
        if (auto error = WriteAll(fd_, contents)) return error;
        if (::fsync(fd_) != 0) return LastError();
        UniqueFd closing(std::exchange(fd_, -1));
        return closing.Close() ? std::error_code{} : LastError();
    }

    std::error_code RenameTo(const std::filesystem::path& target) {
        if (::rename(path_.c_str(), target.c_str()) != 0) return LastError();
        renamed_ = true;
        return {};
    }

  private:
    std::string path_;
    int fd_ = -1;
    std::error_code error_;
    bool created_ = false;
    bool renamed_ = false;
};

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

std::error_code ReplaceWholeFile(const std::filesystem::path& file, std::string_view contents) {
    const std::filesystem::path folder =
        file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) return error;
    TempFile temp(file);
    if (auto failed = temp.Error()) return failed;
    if (auto failed = temp.WriteAndSync(contents)) return failed;
    if (auto failed = temp.RenameTo(file)) return failed;
    return SyncFolder(folder);
}

}  // namespace platform
