#pragma once
// An elevation grid: rows x columns of signed 16-bit samples in metres, row
// by row from the northern edge to the southern edge, each row from the
// western edge to the eastern edge.
//
// GridGeometry holds where such a grid lies and which cell a position falls
// in, by the rules of the grid format: the edges are the outer edges of the
// grid; a point belongs to the grid when east < longitude <= west and
// south < latitude <= north (the southern and eastern edges are moved inwards
// by 1e-8 degree, so a point on them is outside); the cell is the one that
// contains the point, without interpolation. GridElevationModel is a grid
// held in memory (tests, and grids built by the program itself).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/elevation_model.h"
#include "core/geo_box.h"

namespace mapdata {

// Where a grid lies, as a grid header gives it: its outer edges, and how
// many samples it holds across them.
struct GridExtent {
    core::GeoBox edges;
    int rows = 0;
    int columns = 0;
};

// Radians per degree as the grid code has always converted.
inline constexpr double kGridRadiansPerDegree = 0.0174532925;

class GridGeometry {
  public:
    GridGeometry() = default;
    explicit GridGeometry(const GridExtent& extent);

    // False for a grid without rows or columns or with edges out of order;
    // such a grid contains no point.
    bool Valid() const { return valid_; }
    int Rows() const { return rows_; }
    int Columns() const { return columns_; }

    // Index of the sample under a position in radians (longitude positive
    // west), row * columns + column; nothing outside the grid.
    std::optional<std::size_t> CellIndex(double lonWest, double latitude) const;

    // Cell height, and cell width at the edge farther from the equator, in
    // kilometres.
    double CellHeightKm() const { return cellHeightKm_; }
    double CellWidthKm() const { return cellWidthKm_; }
    // The smaller cell side times 0.8, but at least 0.3 km.
    double SampleStepKm() const;

  private:
    bool valid_ = false;
    int rows_ = 0;
    int columns_ = 0;
    // Radians, longitudes positive west (the western edge is the larger).
    double north_ = 0.0;
    double south_ = 0.0;
    double west_ = 0.0;
    double east_ = 0.0;
    double cellHeight_ = 0.0;
    double cellWidth_ = 0.0;
    double cellHeightKm_ = -1.0;
    double cellWidthKm_ = -1.0;
};

class GridElevationModel final : public core::ElevationModel {
  public:
    // The grid answers nothing unless samplesMetres holds exactly rows x
    // columns samples of a valid extent. A sample equal to noData has no
    // elevation.
    GridElevationModel(const GridExtent& extent, std::vector<std::int16_t> samplesMetres,
                       std::int16_t noData = -5000);

    // Feet: the sample in metres times 3.2809.
    std::optional<float> GetElevationAt(double lonWest, double latitude) const override;
    double SampleStepKm() const override { return geometry_.SampleStepKm(); }

    const GridGeometry& Geometry() const { return geometry_; }

  private:
    GridGeometry geometry_;
    std::vector<std::int16_t> samples_;
    std::int16_t noData_;
    bool usable_;
};

}  // namespace mapdata
