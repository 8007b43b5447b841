#pragma once
// The current-position record and the destination, as start-up sets them.
// Positions are in radians, longitude positive west.

#include <string_view>

namespace nav {

// Puts the current-position record at (latitude, lonWest) with its unit
// vector, and clears its altitude, altitude-known flag and flags.
void ResetCurrentPosition(double latitude, double lonWest);

// Moves the current-position record to (latitude, lonWest) and recomputes
// its unit vector; the rest of the record stays.
void MoveCurrentPosition(double latitude, double lonWest);

// The destination becomes a copy of the current-position record, named name.
void SetDestinationToCurrentPosition(std::wstring_view name);

}  // namespace nav
