#pragma once
// The box the map window is shown while the position page edits a
// waypoint's altitude: centred on the waypoint and wide enough to hold the
// aircraft as well (the map shows an object with the aircraft), never less
// than 2 km either way so that a point does not become a zero-sized view.

#include <optional>

#include "core/geo_box.h"
#include "core/waypoint_record.h"

namespace frame {

core::GeoBox WaypointBoxWithAircraft(const nav::WaypointRecord& waypoint,
                                     const std::optional<nav::WaypointRecord>& aircraft);

}  // namespace frame
