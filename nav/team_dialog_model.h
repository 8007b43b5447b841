#pragma once
// What the team-code dialog does, apart from its window: the typed code
// (only base-36 digits go in, one at a time, or the last one comes out),
// the result line of the show button, and the waypoint OK takes.
//
// UI thread (a plain value; reads the settings in force and the elevation
// model).

#include <optional>
#include <string>

#include "nav/waypoint_entry.h"

namespace nav {

struct TeamDialogModel {
    std::wstring code;  // the typed code
    double ownLon = 0.0;  // radians, positive west
    double ownLat = 0.0;
    bool ownKnown = false;  // a fix has been received

    // Appends a digit (ignored for any other character); removes the last.
    void Append(wchar_t c);
    void Backspace();

    // The show button is enabled only with a known own position.
    bool CanShow() const { return ownKnown; }
    // Distance, course (magnetic) and the terrain elevation when known, from
    // the own position to the decoded position: "%6.1f%s %5.0f%c" or
    // "%5.1f%s %4.0f%c  %s"; "???" for a code that does not decode; empty
    // without a code or a known own position.
    std::wstring ShowText() const;
    // The waypoint OK makes the destination; nothing for an empty code or
    // one that does not decode.
    std::optional<CWaypointEntry> Result() const;
};

// The terrain elevation (feet) at a position, when the model has one.
std::optional<float> TerrainElevation(double lonWest, double latitude);

}  // namespace nav
