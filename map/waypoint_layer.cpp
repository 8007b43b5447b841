#include "map/waypoint_layer.h"

#include "nav/waypoint_list.h"

namespace map {

WaypointElement::WaypointElement(const nav::WaypointRecord& record, const nav::MapExtension& extension)
    : element_(mapdata::CMapTextElement::CreateFromWaypoint(record, extension)), record_(record) {}

std::unique_ptr<nav::WaypointMapElement> WaypointElementMaker::MakeElement(
    const nav::WaypointRecord& record, const nav::MapExtension& extension) {
    return std::make_unique<WaypointElement>(record, extension);
}

void WaypointElementMaker::ElementsReplaced() {
    if (replaced_) replaced_();
}

void DrawWaypointElements(const mapdata::MapDrawContext& context) {
    const platform::CriticalSectionLock lock(nav::WaypointListLock);
    for (const auto& element : nav::g_waypointMapElements) {
        if (const auto* waypoint = dynamic_cast<const WaypointElement*>(element.get()))
            mapdata::DrawMapElement(waypoint->Element(), context);
    }
}

std::vector<TapPoint> WaypointTapPoints() {
    std::vector<TapPoint> points;
    for (const auto& element : nav::g_waypointMapElements) {
        if (const auto* waypoint = dynamic_cast<const WaypointElement*>(element.get()))
            points.push_back({&waypoint->Element(), &waypoint->Record()});
    }
    return points;
}

}  // namespace map
