#include "map/waypoint_layer.h"

#include "nav/waypoint_list.h"
#include "nav/waypoint_loader.h"

namespace map {

std::unique_ptr<nav::WaypointMapElement> WaypointSymbolHook::MakeElement(
    const nav::WaypointRecord& record, const nav::MapExtension& extension) {
    return std::make_unique<WaypointSymbolElement>(
        mapdata::CMapTextElement::CreateFromWaypoint(record, extension));
}

void DrawWaypointLayer(const mapdata::MapDrawContext& context) {
    if (nav::g_waypointsLoaded.load() == 0) return;
    const platform::CriticalSectionLock lock(nav::WaypointListLock);
    for (const auto& element : nav::g_waypointMapElements) {
        if (const auto* symbol = dynamic_cast<const WaypointSymbolElement*>(element.get()))
            mapdata::DrawMapElement(symbol->Element(), context);
    }
}

}  // namespace map
