#pragma once
// Writes an airspace as text-map records: its limits and name at the label
// point, then a circle or its outline with arcs. Latitudes first, longitudes
// west-positive, numbers in the C locale, lines ended by CR LF.

#include <cstdint>
#include <string>

#include "tools/tandrel/airspace.h"

namespace tandrel {

struct MapStyle {
    int borderColour = 2;              // palette number 0..16
    bool fill = false;
    std::uint32_t fillColour = 0xFFE0E0;  // COLORREF 0x00BBGGRR
    bool wideBorder = false;
    double unitFactor = 1.852;          // map distance units per nautical mile
    double topOffset = 0.0;             // feet added to an AGL top
    double bottomOffset = 0.0;          // feet added to an AGL bottom
    bool noNotes = false;
};

// Appends the records of an airspace to out; nothing for one without
// segments. Arcs start a little after their start bearing (min(3 degrees,
// a fifth of the sweep)), and the last also ends that much early.
void WriteMap(const CAirspace& airspace, const MapStyle& style, std::string& out);

}  // namespace tandrel
