#pragma once
// What the task code asks of the map: elements that draw the zones of the
// current task, the markers of the optimised path, and the map's one FAI
// area overlay.
//
// The task code works out the geometry of each zone (ZoneShape: a line, a
// circle or an arc, with its bounds) and the map installs a TaskMapHook that
// turns a shape into a drawable element of its own. The task code owns the
// elements it gets (g_taskZoneElements, the touch-point markers) and changes
// them only under core::TaskLock; the map reads them under that lock too.
// Without a hook no elements are made, and the zone bounds still are.

#include <memory>
#include <vector>

#include "core/geo_box.h"
#include "core/waypoint_record.h"

namespace nav {

// The base of the map's task elements.
class TaskMapElement {
  public:
    TaskMapElement() = default;
    virtual ~TaskMapElement() = default;
    TaskMapElement(const TaskMapElement&) = delete;
    TaskMapElement& operator=(const TaskMapElement&) = delete;
};

using TaskMapElements = std::vector<std::unique_ptr<TaskMapElement>>;

enum class ZoneShapeKind {
    kPolyline,  // the points in order (a line, the edges of a sector)
    kCircle,    // a whole circle of radiusKm about centre
    kArc,       // the part of that circle clockwise from fromBearing to toBearing
};

// Positions and bounds in degrees, longitude positive east.
struct ZoneShape {
    ZoneShapeKind kind = ZoneShapeKind::kPolyline;
    std::vector<core::GeoPoint> points;  // kPolyline
    core::GeoPoint centre;               // kCircle, kArc
    float radiusKm = 0.0F;               // kCircle, kArc
    double fromBearingDeg = 0.0;         // kArc, degrees true
    double toBearingDeg = 0.0;           // kArc
    core::GeoBox bounds;
};

// The map's FAI-triangle area overlay: the region where a third point makes
// an FAI triangle with two stored corners.
class FaiAreaElement {
  public:
    virtual ~FaiAreaElement() = default;
    // Clears the overlay.
    virtual void Reset() = 0;
    // Rebuilds the outline for the corners a, b and the third record c.
    virtual void BuildOutline(const WaypointRecord& a, const WaypointRecord& b,
                              const WaypointRecord& c) = 0;
    // 0 when the position does not complete an FAI triangle with the stored
    // corners, 1 under the small-triangle bounds, 2 under the large ones.
    virtual int ClassifyTriangleWith(const WaypointRecord& position) = 0;
};

// Every call comes with core::TaskLock held, from the UI thread or from the
// fix-processing thread (markers and the FAI area change as the task is
// flown); the map reads what it is given under TaskLock too.
class TaskMapHook {
  public:
    virtual ~TaskMapHook() = default;
    // The element that draws a zone shape; null when it cannot be made.
    virtual std::unique_ptr<TaskMapElement> MakeZoneElement(const ZoneShape& shape) = 0;
    // Places the marker of an optimised-path touch point at `at`, making it
    // first when `marker` is null; false when it cannot be made.
    virtual bool PlaceTouchMarker(std::unique_ptr<TaskMapElement>& marker,
                                  const WaypointRecord& at) = 0;
    // The map's FAI area overlay; null when there is none.
    virtual FaiAreaElement* FaiArea() { return nullptr; }
    // Task activation: shows the task panel the map view keeps hidden, if
    // it is hidden.
    virtual void ShowHiddenTaskPanel() {}
    // The task's zones changed: re-render the map's back buffer and redraw.
    virtual void TaskZonesChanged() {}
};

void SetTaskMapHook(std::shared_ptr<TaskMapHook> hook);
std::shared_ptr<TaskMapHook> GetTaskMapHook();

// The zone elements of the current task. Only under core::TaskLock.
extern TaskMapElements g_taskZoneElements;

}  // namespace nav
