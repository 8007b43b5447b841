#pragma once
// Map point elements for waypoints that carry a map symbol.
//
// The map draws such waypoints with point elements of its own. It installs a
// hook at start-up that makes one element from a record and its map values;
// the waypoint code owns the elements it gets and publishes them with the
// waypoint list, under WaypointListLock. Without a hook no elements are made.

#include <memory>
#include <vector>

#include "core/waypoint_record.h"

namespace nav {

// The base of the map's waypoint elements.
class WaypointMapElement {
  public:
    WaypointMapElement() = default;
    virtual ~WaypointMapElement() = default;
    WaypointMapElement(const WaypointMapElement&) = delete;
    WaypointMapElement& operator=(const WaypointMapElement&) = delete;
};

using WaypointMapElements = std::vector<std::unique_ptr<WaypointMapElement>>;

class WaypointMapHook {
  public:
    virtual ~WaypointMapHook() = default;
    // The element for a waypoint with symbol code extension[0] > 0; null when
    // it cannot be made. Called on the loader thread as well.
    virtual std::unique_ptr<WaypointMapElement> MakeElement(const WaypointRecord& record,
                                                            const MapExtension& extension) = 0;
    // The published elements are about to be replaced: forget every
    // reference into them. Called with WaypointListLock held.
    virtual void ElementsReplaced() {}
};

void SetWaypointMapHook(std::shared_ptr<WaypointMapHook> hook);
std::shared_ptr<WaypointMapHook> GetWaypointMapHook();

// Whether a line's map values ask for a map element.
inline bool WantsMapElement(const MapExtension& extension) {
    return extension[0] > 0.0F;
}

// The map values an element gets: each value pair (1, 2) and (4, 5) is kept
// only when its second value is above 0 and differs from its first, else both
// become 0.
MapExtension ElementExtension(const MapExtension& extension);

// The elements of the waypoints in g_waypoints. Only under WaypointListLock.
extern WaypointMapElements g_waypointMapElements;

}  // namespace nav
