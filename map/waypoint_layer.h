#pragma once
// The waypoints on the map: the elements the waypoint list keeps for its
// points that carry a map symbol, made, drawn after the map's own lists and
// searched by taps. No wx.

#include <functional>
#include <memory>
#include <vector>

#include "core/waypoint_record.h"
#include "map/tap_info.h"
#include "mapdata/map_element_draw.h"
#include "mapdata/map_text_element.h"
#include "nav/waypoint_map_elements.h"

namespace map {

// A waypoint's symbol element with the waypoint it was made from (its
// altitude is what a tap's arrival is worked out for).
class WaypointElement final : public nav::WaypointMapElement {
  public:
    WaypointElement(const nav::WaypointRecord& record, const nav::MapExtension& extension);

    const mapdata::CMapTextElement& Element() const { return element_; }
    const nav::WaypointRecord& Record() const { return record_; }

  private:
    mapdata::CMapTextElement element_;
    nav::WaypointRecord record_;
};

// Makes the waypoint list's elements; `replaced` runs when a new list is
// about to be published (under WaypointListLock: it may only post).
class WaypointElementMaker final : public nav::WaypointMapHook {
  public:
    explicit WaypointElementMaker(std::function<void()> replaced) : replaced_(std::move(replaced)) {}
    std::unique_ptr<nav::WaypointMapElement> MakeElement(const nav::WaypointRecord& record,
                                                         const nav::MapExtension& extension) override;
    void ElementsReplaced() override;

  private:
    std::function<void()> replaced_;
};

// Draws the published waypoint elements (takes WaypointListLock).
void DrawWaypointElements(const mapdata::MapDrawContext& context);

// The published waypoint elements as tap points; the caller holds
// WaypointListLock while it uses them.
std::vector<TapPoint> WaypointTapPoints();

}  // namespace map
