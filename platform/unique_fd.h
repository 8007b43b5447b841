#pragma once
// Owns a file descriptor and closes it when it goes.

#include <unistd.h>

#include <utility>

namespace platform {

class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { Reset(); }

    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.fd_, -1));
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    explicit operator bool() const { return Valid(); }

    // Closes now, so that a failing close (a late write error) is seen:
    // false then, with errno telling why. The descriptor is gone either way.
    bool Close() { return ::close(std::exchange(fd_, -1)) == 0; }

    // Closes the descriptor held (if any) and takes fd.
    void Reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

  private:
    int fd_ = -1;
};

}  // namespace platform
