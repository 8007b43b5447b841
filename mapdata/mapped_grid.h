#pragma once
// An elevation grid file (".bin") mapped read-only into memory: rows x
// columns signed 16-bit samples in metres, north to south, west to east, in
// the byte order its header gives. The grid is never read into memory; a
// lookup is one index computation and one 16-bit read.
//
// Immutable once open: any thread may look up heights. The mapping lives as
// long as the object, so a grid that is replaced stays mapped for a reader
// that still holds it (core::CurrentElevationModel hands out shared
// pointers).

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "core/elevation_model.h"
#include "mapdata/grid_elevation_model.h"
#include "mapdata/grid_header.h"

namespace mapdata {

class MappedGrid final : public core::ElevationModel {
  public:
    // Maps the grid file; null when it cannot be opened or mapped, or when
    // its length is not exactly rows x columns x 2 bytes.
    static std::unique_ptr<MappedGrid> Open(const std::filesystem::path& gridPath,
                                            const GridHeader& header);
    ~MappedGrid() override;
    MappedGrid(const MappedGrid&) = delete;
    MappedGrid& operator=(const MappedGrid&) = delete;

    // Feet (the sample in metres times 3.2809); nothing outside the grid or
    // on a no-data sample.
    std::optional<float> GetElevationAt(double lonWest, double latitude) const override;
    double SampleStepKm() const override { return geometry_.SampleStepKm(); }

    const GridGeometry& Geometry() const { return geometry_; }

  private:
    MappedGrid(const GridHeader& header, const unsigned char* view, std::size_t length);

    GridGeometry geometry_;
    bool littleEndian_;
    std::int16_t noData_;
    const unsigned char* view_;
    std::size_t length_;
};

}  // namespace mapdata
