#pragma once
// Adding, deleting and editing single waypoints: the waypoint file and the
// waypoint list change together, or neither does.
//
// Each refuses while the background loader runs (its list would replace the
// change) and when the file is not open. Indexes are into g_waypoints.

#include <optional>

#include "nav/waypoint_file.h"
#include "core/waypoint_record.h"

namespace nav {

// Appends the record to the file and puts what reads back from the new line
// into the list (with its map element when it asks for one), so the list
// holds what a later load gives. The new entry's index, or nothing.
std::optional<int> AddWaypoint(CWaypointFile& file, const WaypointRecord& record,
                               const MapExtension* extension = nullptr);

// Comments the entry's lines out and removes it from the list. False, with
// the list unchanged, when the file could not be written.
bool DeleteWaypointEntry(CWaypointFile& file, int index);

// Replaces the entry at index by the record: the new line is appended first
// and the old lines are commented out only once it is written. On any failed
// write the file reads as before and the list is unchanged (nothing is
// returned); otherwise the new entry's index.
std::optional<int> EditWaypoint(CWaypointFile& file, int index, const WaypointRecord& record,
                                const MapExtension* extension = nullptr);

}  // namespace nav
