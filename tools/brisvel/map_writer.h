#pragma once
// The text of a whole map: the header for the bounds, then the added objects
// that reach into the bounds, grouped by name or in the order they were
// added.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tools/brisvel/geo_bounds.h"
#include "tools/brisvel/map_objects.h"

namespace brisvel {

// With this many group names or more the objects are written in the order
// they were added, without group comments.
inline constexpr std::size_t kFlatGroupCount = 21;
// At most this many distinct group names are kept.
inline constexpr std::size_t kMaxGroupNames = 22;

// "minLat,0,0,-maxLon,0,0,maxLat,0,0,-minLon,0,0,10M,<miles>" and CR LF,
// miles being the great-circle distance between the two corners.
std::string MapHeader(const core::GeoBox& bounds);

// The great-circle distance in statute miles between two points (degrees).
double CornerDistanceMiles(double lat1, double lon1, double lat2, double lon2);

bool SameTextIgnoringCase(std::string_view a, std::string_view b);

// The whole map. namesAsComments (flat order only) writes ";<name>" before
// each object.
std::string BuildMapText(const std::vector<std::unique_ptr<CMapObject>>& added,
                         const std::vector<std::string>& groups, const core::GeoBox& bounds,
                         bool namesAsComments);

}  // namespace brisvel
