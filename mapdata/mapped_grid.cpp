#include "mapdata/mapped_grid.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>


#include "platform/unique_fd.h"

namespace mapdata {
namespace {

constexpr float kMappedFeetPerGridMetre = 3.2809F;

}  // namespace

std::unique_ptr<MappedGrid> MappedGrid::Open(const std::filesystem::path& gridPath,
                                             const GridHeader& header) {
    const GridGeometry geometry(header.extent);
    if (!geometry.Valid()) return nullptr;
    const platform::UniqueFd file(::open(gridPath.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file) return nullptr;
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) return nullptr;
    const std::uint64_t expected = static_cast<std::uint64_t>(geometry.Rows()) *
                                   static_cast<std::uint64_t>(geometry.Columns()) * 2U;
    if (static_cast<std::uint64_t>(status.st_size) != expected) return nullptr;
    const auto length = static_cast<std::size_t>(expected);
    void* view = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, file.Get(), 0);
    if (view == MAP_FAILED) return nullptr;
    ::madvise(view, length, MADV_RANDOM);
    return std::unique_ptr<MappedGrid>(
        new MappedGrid(header, static_cast<const unsigned char*>(view), length));
}

MappedGrid::MappedGrid(const GridHeader& header, const unsigned char* view, std::size_t length)
    : geometry_(header.extent),
      littleEndian_(header.littleEndian),
      noData_(header.noData),
      view_(view),
      length_(length) {}

MappedGrid::~MappedGrid() {
    ::munmap(const_cast<unsigned char*>(view_), length_);
}

std::optional<float> MappedGrid::GetElevationAt(double lonWest, double latitude) const {
    const auto index = geometry_.CellIndex(lonWest, latitude);
    if (!index) return std::nullopt;
    const unsigned char* sample = view_ + *index * 2;
    const auto value = static_cast<std::int16_t>(
        littleEndian_ ? sample[0] | (sample[1] << 8) : (sample[0] << 8) | sample[1]);
    if (value == noData_) return std::nullopt;
    return static_cast<float>(value) * kMappedFeetPerGridMetre;
}

}  // namespace mapdata
