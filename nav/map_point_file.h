#pragma once
// The map's text map file as the new-waypoint dialog writes points into it.
// The map installs its implementation; without one no map file is
// writable. UI thread.

#include <memory>
#include <string_view>

#include "core/waypoint_record.h"

namespace nav {

class MapPointFile {
  public:
    virtual ~MapPointFile() = default;
    // A map file is open and may be written.
    virtual bool Writable() const = 0;
    // Appends the text at the file's end and flushes it; false on failure.
    virtual bool Append(std::wstring_view text) = 0;
    // The number of map symbols (the highest symbol code).
    virtual int SymbolCount() const = 0;
    // Shows the new point on the map (codes 1 and up, and -5).
    virtual void MakeElement(const WaypointRecord& record, int code, int pen) = 0;
};

void SetMapPointFile(std::shared_ptr<MapPointFile> file);
std::shared_ptr<MapPointFile> GetMapPointFile();

}  // namespace nav
