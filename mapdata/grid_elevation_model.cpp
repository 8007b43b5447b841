#include "mapdata/grid_elevation_model.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace mapdata {
namespace {

// Feet per metre of the grid samples.
constexpr float kFeetPerGridMetre = 3.2809F;
// Kilometres per degree of arc: 60 nautical miles of 1.852 km.
constexpr double kKmPerDegree = 60.0 * 1.852;
// The southern and eastern edges move inwards by this much (1e-8 degree).
constexpr double kEdgeNudge = 1.74532925e-10;

}  // namespace

GridGeometry::GridGeometry(const GridExtent& extent)
    : rows_(extent.rows), columns_(extent.columns) {
    const double westDegrees = -extent.edges.west;  // positive west from here on
    const double eastDegrees = -extent.edges.east;
    valid_ = rows_ > 0 && columns_ > 0 && extent.edges.north > extent.edges.south &&
             westDegrees > eastDegrees && std::isfinite(extent.edges.north) &&
             std::isfinite(extent.edges.south) && std::isfinite(westDegrees) &&
             std::isfinite(eastDegrees);
    if (!valid_) return;

    // Kilometres per cell; the width at the edge with the larger absolute
    // latitude (the southern one when both are equal).
    cellHeightKm_ = (extent.edges.north - extent.edges.south) / rows_ * kKmPerDegree;
    cellWidthKm_ = (westDegrees - eastDegrees) / columns_ * kKmPerDegree;

    north_ = extent.edges.north * kGridRadiansPerDegree;
    south_ = extent.edges.south * kGridRadiansPerDegree;
    west_ = westDegrees * kGridRadiansPerDegree;
    east_ = eastDegrees * kGridRadiansPerDegree;
    const double polewardEdge = std::fabs(north_) > std::fabs(south_) ? north_ : south_;
    cellWidthKm_ *= std::cos(polewardEdge);

    cellHeight_ = (north_ - south_) / rows_;
    cellWidth_ = (west_ - east_) / columns_;
    // Edges so far apart that their difference overflows hold no grid.
    valid_ = std::isfinite(cellHeight_) && std::isfinite(cellWidth_) && cellHeight_ > 0.0 &&
             cellWidth_ > 0.0;
    if (!valid_) return;
    south_ += kEdgeNudge;
    east_ += kEdgeNudge;
}

std::optional<std::size_t> GridGeometry::CellIndex(double lonWest, double latitude) const {
    if (!valid_) return std::nullopt;
    if (!(east_ < lonWest && lonWest <= west_ && south_ < latitude && latitude <= north_)) {
        return std::nullopt;
    }
    // The inside test keeps both in range; rounding at the far edges must not
    // reach past the grid, so the indexes are clamped into it.
    const double row =
        std::clamp(std::floor((north_ - latitude) / cellHeight_), 0.0, rows_ - 1.0);
    const double column =
        std::clamp(std::floor((west_ - lonWest) / cellWidth_), 0.0, columns_ - 1.0);
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
           static_cast<std::size_t>(column);
}

double GridGeometry::SampleStepKm() const {
    return std::max(std::min(cellHeightKm_, cellWidthKm_) * 0.8, 0.3);
}

GridElevationModel::GridElevationModel(const GridExtent& extent,
                                       std::vector<std::int16_t> samplesMetres, std::int16_t noData)
    : geometry_(extent), samples_(std::move(samplesMetres)), noData_(noData) {
    usable_ = geometry_.Valid() && samples_.size() == static_cast<std::size_t>(extent.rows) *
                                                          static_cast<std::size_t>(extent.columns);
}

std::optional<float> GridElevationModel::GetElevationAt(double lonWest, double latitude) const {
    if (!usable_) return std::nullopt;
    const auto index = geometry_.CellIndex(lonWest, latitude);
    if (!index) return std::nullopt;
    const std::int16_t value = samples_[*index];
    if (value == noData_) return std::nullopt;
    return static_cast<float>(value) * kFeetPerGridMetre;
}

}  // namespace mapdata
