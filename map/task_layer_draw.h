#pragma once
// What the map draws over the elements: the GOTO line from the aircraft to
// the target, and the task layer: the FAI area, the task's legs and its
// zones. The task layer is drawn white-backed onto a canvas of its own and
// ANDed over the map when the window paints.
//
// The task code owns the zone elements and the FAI area it gets from the
// map (TaskZoneElement, MapFaiArea) and changes them only under
// core::TaskLock; DrawCurrentTaskLayer reads them under that lock and takes
// no other.

#include <functional>
#include <memory>
#include <span>

#include "core/waypoint_record.h"
#include "mapdata/fai_area.h"
#include "mapdata/map_draw_state.h"
#include "mapdata/map_element.h"
#include "mapdata/map_element_draw.h"
#include "nav/task_map_elements.h"
#include "nav/task_model.h"
#include "platform/canvas.h"

namespace map {

// Solid, 2 wide, dark blue (black on a monochrome screen).
inline constexpr platform::Pen kGotoPen = platform::Pen::Solid({0, 0, 200}, 2);
// Dashed, 1 wide, black.
inline constexpr platform::Pen kTaskPen{platform::Pen::Style::kDash, 1, platform::kBlack};

// The GOTO line, clipped to the client rectangle.
void DrawGotoLine(platform::Canvas& canvas, const mapdata::MapDrawState& state,
                  const nav::WaypointRecord& aircraft, const nav::WaypointRecord& target,
                  const platform::PixelRect& client);

// The legs through points; with lineWidth above 1 each leg gets a second
// line one pixel beside it (in x for steep legs, in y for flat ones, in
// both for diagonal ones). Fewer than 2 points draw nothing.
void DrawTaskLegs(platform::Canvas& canvas, const mapdata::MapDrawState& state,
                  std::span<const nav::WaypointRecord> points, int lineWidth);

// The GOTO line is drawn with "ShowGOTOline" on and a target set, and
// while a task is flown only with "allowGOTOwithTask".
bool GotoLineShown(bool showGotoLine, bool targetSet, bool taskActive, bool allowWithTask);

// The pen of the task zones: wide, dark magenta.
inline constexpr int kTaskZonePenNumber = 32 + 14;

// A task zone as the map draws it: a line (polyline element) or a circle
// or arc (circle element), made from the task code's shape.
class TaskZoneElement final : public nav::TaskMapElement {
  public:
    explicit TaskZoneElement(std::unique_ptr<mapdata::CMapElement> element)
        : element_(std::move(element)) {}
    const mapdata::CMapElement& Element() const { return *element_; }

  private:
    std::unique_ptr<mapdata::CMapElement> element_;
};

// The element for a zone shape; null for a shape that cannot be drawn
// (a line of fewer than 2 points, a radius that is not a positive number).
std::unique_ptr<TaskZoneElement> MakeTaskZoneElement(const nav::ZoneShape& shape);

// The map's FAI area overlay as the task code sees it.
class MapFaiArea final : public nav::FaiAreaElement {
  public:
    void Reset() override { area_.Reset(); }
    void BuildOutline(const nav::WaypointRecord& a, const nav::WaypointRecord& b,
                      const nav::WaypointRecord& c) override;
    int ClassifyTriangleWith(const nav::WaypointRecord& position) override;
    const mapdata::CFaiAreaElement& Area() const { return area_; }

  private:
    mapdata::CFaiAreaElement area_;
};

// The map's side of the task code: zone elements, touch-point markers and
// the one FAI area. zonesChanged runs when the task's zones change (the
// window re-renders its task layer); it may be empty.
class MapTaskHook : public nav::TaskMapHook {
  public:
    explicit MapTaskHook(std::function<void()> zonesChanged = {})
        : zonesChanged_(std::move(zonesChanged)) {}
    std::unique_ptr<nav::TaskMapElement> MakeZoneElement(const nav::ZoneShape& shape) override {
        return MakeTaskZoneElement(shape);
    }
    // A small circle at the touch point.
    bool PlaceTouchMarker(std::unique_ptr<nav::TaskMapElement>& marker,
                          const nav::WaypointRecord& at) override;
    nav::FaiAreaElement* FaiArea() override { return &faiArea_; }
    void TaskZonesChanged() override {
        if (zonesChanged_) zonesChanged_();
    }

  private:
    std::function<void()> zonesChanged_;
    MapFaiArea faiArea_;
};

// What the task layer draws, read under core::TaskLock.
struct TaskLayerSource {
    const nav::CTask* task = nullptr;             // null: no task flown
    const nav::TaskMapElements* zones = nullptr;  // g_taskZoneElements
    const nav::FaiAreaElement* faiArea = nullptr;
    int lineWidth = 1;  // the task line width setting
    bool drawZones = true;
};

// The positions the legs run through: every point's own position, or
// where it was reached once it is marked (flag 0x80); without an extra
// start point's and the extra finish point's entries.
std::vector<nav::WaypointRecord> TaskLegPoints(const nav::CTask& task);

// The FAI area, the legs and, with drawZones, the zones, onto canvas with
// the context's transform and pens.
void DrawTaskLayer(platform::Canvas& canvas, const mapdata::MapDrawContext& context,
                   const TaskLayerSource& source);

// The flown task's layer (nothing while no task is navigated), under
// core::TaskLock.
void DrawCurrentTaskLayer(platform::Canvas& canvas, const mapdata::MapDrawContext& context,
                          int lineWidth, bool drawZones);

}  // namespace map
