#pragma once
// Helpers shared by the fuzz targets.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace fuzz {

// Stops the run where a property of the code under test does not hold.
inline void Check(bool condition) {
    if (!condition) std::abort();
}

// The input bytes as an anonymous file in memory, positioned at its start,
// for readers that take a file descriptor.
class MemoryFile {
  public:
    explicit MemoryFile(const std::uint8_t* data = nullptr, std::size_t size = 0)
        : fd_(::memfd_create("fuzz-input", MFD_CLOEXEC)) {
        Check(fd_ >= 0);
        Check(size == 0 || ::write(fd_, data, size) == static_cast<ssize_t>(size));
        ::lseek(fd_, 0, SEEK_SET);
    }
    ~MemoryFile() { ::close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_;
};

}  // namespace fuzz
