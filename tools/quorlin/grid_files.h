#pragma once
// Writing elevation grids and their headers: the 14-line ".hdr" text, and a
// grid file written through a temporary file beside it so that a failed
// conversion leaves the old file and no partial one. UI thread or any other;
// one GridWriter belongs to one thread.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/whole_file.h"
#include "tools/quorlin/grid_record.h"

namespace quorlin {

// What a header states besides the record's edges and counts.
struct HeaderValues {
    int lowest = 0;
    int highest = 0;
    int missing = 0;
};

// The header text of a grid (longitudes written positive east, numbers in
// the C form, CR LF after every line but the last). The title is the grid's
// name without extension when it ends in ".bin", else its whole file name.
std::string GridHeaderText(const std::filesystem::path& gridPath, const ElevationGridHeader& grid,
                           const HeaderValues& values);
// The header's path: the grid's extension replaced by "hdr".
std::filesystem::path HeaderPathOf(const std::filesystem::path& gridPath);
// Writes the header through a temporary file.
std::error_code WriteGridHeader(const std::filesystem::path& gridPath, const ElevationGridHeader& grid,
                                const HeaderValues& values);

// Little-endian samples appended to a new grid file, buffered; Commit puts
// the file in place.
class GridWriter {
  public:
    explicit GridWriter(const std::filesystem::path& path);
    bool Opened() const { return replacement_.Fd() >= 0; }
    void Put(std::int16_t sample) {
        buffer_.push_back(static_cast<char>(static_cast<std::uint16_t>(sample) & 0xFF));
        buffer_.push_back(static_cast<char>(static_cast<std::uint16_t>(sample) >> 8));
        if (buffer_.size() >= kFlushBytes) Flush();
    }
    // Writes what is buffered; false once any write failed.
    bool Flush();
    std::error_code Commit();

  private:
    static constexpr std::size_t kFlushBytes = 1 << 20;
    platform::FileReplacement replacement_;
    std::string buffer_;
    bool failed_ = false;
};

// Reads a whole file (up to 4 GiB); false when it cannot be read.
bool ReadFile(const std::filesystem::path& path, std::string& bytes);

// A sample of a grid held in memory, in the grid's byte order.
inline std::int16_t SampleAt(const std::string& bytes, std::uint64_t index, bool littleEndian) {
    const auto b0 = static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(2 * index)]);
    const auto b1 = static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(2 * index + 1)]);
    const auto v = littleEndian ? static_cast<std::uint16_t>(b0 | b1 << 8)
                                : static_cast<std::uint16_t>(b1 | b0 << 8);
    return static_cast<std::int16_t>(v);
}

}  // namespace quorlin
