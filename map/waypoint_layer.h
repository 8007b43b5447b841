#pragma once
// The waypoints on the map: a waypoint whose line carries a map symbol is
// drawn as a symbol element with its name, over every other map layer, once
// the waypoint file has been loaded.
//
// The waypoint code owns the elements (nav::g_waypointMapElements) and
// replaces them under nav::WaypointListLock; the map makes them through the
// hook below and draws them under that lock.

#include <memory>

#include "mapdata/map_element_draw.h"
#include "mapdata/map_text_element.h"
#include "nav/waypoint_map_elements.h"

namespace map {

class WaypointSymbolElement final : public nav::WaypointMapElement {
  public:
    explicit WaypointSymbolElement(mapdata::CMapTextElement element)
        : element_(std::move(element)) {}
    const mapdata::CMapTextElement& Element() const { return element_; }

  private:
    mapdata::CMapTextElement element_;
};

// The map's side of the waypoint loader.
class WaypointSymbolHook final : public nav::WaypointMapHook {
  public:
    std::unique_ptr<nav::WaypointMapElement> MakeElement(const nav::WaypointRecord& record,
                                                         const nav::MapExtension& extension) override;
};

// Draws the loaded waypoints' elements (nothing before a file has loaded).
// Takes nav::WaypointListLock; any thread.
void DrawWaypointLayer(const mapdata::MapDrawContext& context);

}  // namespace map
