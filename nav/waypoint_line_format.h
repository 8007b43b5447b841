#pragma once
// The text a record is appended to a waypoint file as: its decimal-layout
// record line, then its comment line and attachment lines when it has them,
// each ended with CR LF.

#include <string>

#include "core/waypoint_record.h"

namespace nav {

// altitudeInMetres: the altitude unit setting is metres (the altitude is
// written in metres with its 'M'). fileInMetres: the file has the "ALT[M]"
// header, so an altitude in feet is written with its 'F' (a bare number
// would read back as metres). A marker is written only with a known
// altitude; the map values only when their symbol code is above 0.
std::wstring FormatWaypointLines(const WaypointRecord& record, const MapExtension* extension,
                                 bool altitudeInMetres, bool fileInMetres);

}  // namespace nav
