#pragma once
// Whole reads and writes at a file offset, for converters that work on a
// grid file a band or a block at a time.

#include <cstddef>
#include <cstdint>

namespace quorlin {

// Reads exactly `size` bytes at `offset`; false on an error or a short file.
bool ReadAt(int fd, void* data, std::size_t size, std::uint64_t offset);
// Writes all `size` bytes at `offset`; false on an error.
bool WriteAt(int fd, const void* data, std::size_t size, std::uint64_t offset);

}  // namespace quorlin
