#pragma once
// CElevationModel: the flight computer's elevation model as start-up and the
// DEM file command load it: a grid header, then its grid file mapped into
// memory.
//
// States: empty -> header parsed (ParseHeader; no lookups yet) -> mapped
// (MapDataFile) -> empty again on Close; a failed MapDataFile leaves no grid. Callers load
// in the order Close, ParseHeader, then MapDataFile only when ParseHeader
// succeeded, and install View() with core::SetElevationModel (null while the
// model is empty).
//
// Loading belongs to the user-interface thread. Other threads read heights
// through core::CurrentElevationModel(): the mapped grid is shared, so Close
// only drops this model's hold on it and the grid is unmapped when its last
// reader lets go.

#include <filesystem>
#include <memory>
#include <optional>

#include "mapdata/grid_header.h"
#include "mapdata/mapped_grid.h"

namespace mapdata {

class CElevationModel {
  public:
    // Reads the header; false when it cannot be read or does not describe a
    // grid (fewer than six geometry values, no rows or columns, edges out of
    // order). The header path is kept either way.
    bool ParseHeader(const std::filesystem::path& headerPath);
    // Maps the grid the parsed header names; false when it cannot be opened
    // or mapped or has the wrong length (no grid then; the header stays).
    bool MapDataFile();
    // Drops the grid and every header value, both paths included.
    void Close();

    // Feet at a position (longitude positive west) in radians, or degrees
    // when inDegrees; nothing outside the grid, on a no-data cell or while
    // no grid is mapped.
    std::optional<float> GetElevationAt(double longitude, double latitude,
                                        bool inDegrees = false) const;

    // The mapped grid, or null.
    std::shared_ptr<const core::ElevationModel> View() const { return grid_; }
    const std::filesystem::path& HeaderPath() const { return headerPath_; }
    const std::filesystem::path& GridPath() const { return gridPath_; }
    const std::optional<GridHeader>& Header() const { return header_; }

  private:
    std::filesystem::path headerPath_;
    std::filesystem::path gridPath_;
    std::optional<GridHeader> header_;
    std::shared_ptr<const MappedGrid> grid_;
};

}  // namespace mapdata
