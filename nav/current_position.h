#pragma once
// The current-position record and the destination.
//
// g_mapFix is the aircraft's position as the map and the navigation use it;
// read and write it only under core::MapLock. g_destination is the waypoint
// flown to; read and write it only under core::TaskLock. Positions are in
// radians, longitude positive west.

#include <string_view>

#include "core/waypoint_record.h"

namespace nav {

extern WaypointRecord g_mapFix;
extern WaypointRecord g_destination;

// Copies taken under the records' locks.
WaypointRecord CopyMapFix();
WaypointRecord CopyDestination();

// Puts the current-position record at (latitude, lonWest) with its unit
// vector, and clears its altitude, altitude-known flag and flags.
void ResetCurrentPosition(double latitude, double lonWest);

// Moves the current-position record to (latitude, lonWest) and recomputes
// its unit vector; the rest of the record stays.
void MoveCurrentPosition(double latitude, double lonWest);

// The destination becomes a copy of the current-position record, named name.
void SetDestinationToCurrentPosition(std::wstring_view name);

}  // namespace nav
