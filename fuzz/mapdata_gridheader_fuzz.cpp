// Reads arbitrary bytes as an elevation grid header: a header that is
// accepted describes a usable grid, and when that grid is small enough it is
// mapped from a file of the right length and looked up everywhere (inside,
// on and just beyond every edge, and at random cells) without reading
// outside the file.
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "mapdata/grid_header.h"
#include "mapdata/mapped_grid.h"

namespace {

using fuzz::Check;

constexpr std::uint64_t kMaxMappedBytes = 1 << 20;

void LookUpEverywhere(const mapdata::MappedGrid& grid, const mapdata::GridExtent& e) {
    const double rad = mapdata::kGridRadiansPerDegree;
    const double lats[] = {e.edges.north, e.edges.south, (e.edges.north + e.edges.south) / 2,
                           e.edges.north + 1e-9, e.edges.south - 1e-9, e.edges.south + 1e-9};
    const double lons[] = {e.edges.west, e.edges.east, (e.edges.west + e.edges.east) / 2,
                           e.edges.west - 1e-9, e.edges.east + 1e-9, e.edges.east - 1e-9};
    for (const double lat : lats) {
        for (const double lon : lons) {
            const auto feet = grid.GetElevationAt(-lon * rad, lat * rad);
            if (feet) Check(std::isfinite(*feet) && std::fabs(*feet) <= 32768.0F * 3.2809F);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto header = mapdata::ParseGridHeader(text);
    if (!header) return 0;
    const mapdata::GridGeometry geometry(header->extent);
    Check(header->geometryCount >= 6);
    Check(geometry.Valid() && geometry.Rows() > 0 && geometry.Columns() > 0);
    Check(geometry.SampleStepKm() >= 0.3);

    const std::uint64_t bytes = static_cast<std::uint64_t>(geometry.Rows()) *
                                static_cast<std::uint64_t>(geometry.Columns()) * 2U;
    if (bytes > kMaxMappedBytes) return 0;
    // A grid file of exactly that length, of samples 0x0101 (257 m).
    const std::string samples(static_cast<std::size_t>(bytes), '\x01');
    const fuzz::MemoryFile file(reinterpret_cast<const std::uint8_t*>(samples.data()),
                                samples.size());
    const std::string path = "/proc/self/fd/" + std::to_string(file.fd());
    const auto grid = mapdata::MappedGrid::Open(path, *header);
    Check(grid != nullptr);
    LookUpEverywhere(*grid, header->extent);
    // One byte short is refused.
    const fuzz::MemoryFile shorter(reinterpret_cast<const std::uint8_t*>(samples.data()),
                                   samples.size() - 1);
    Check(mapdata::MappedGrid::Open("/proc/self/fd/" + std::to_string(shorter.fd()), *header) ==
          nullptr);
    return 0;
}
