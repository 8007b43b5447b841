#pragma once
// The map's view states: one record per display mode (0 moving map, 1
// zoomed, 2 focus on a point, 3 an object shown with the aircraft), saved
// when a mode is left and restored when it is entered again. Without wx.

#include <array>

#include "core/waypoint_record.h"
#include "platform/pixel_rect.h"

namespace map {

// The visible map extent in projection units; x1 > x2 and y1 > y2 as the
// projection runs.
struct MapBounds {
    float x1 = 1.0F;
    float x2 = -1.0F;
    float y1 = 1.0F;
    float y2 = -1.0F;

    friend bool operator==(const MapBounds&, const MapBounds&) = default;
};

struct MapViewState {
    int centredOnAircraft = 0;
    MapBounds bounds;
    float offsetX = 0.0F;
    float offsetY = 0.0F;
    float scale = 1.0F;
    float mapRadius = 10.0F;  // statute miles across the corners
    float mapScale = 10.0F;   // the label scale the elements' ranges compare with
    int trackPoints = 0;
    int trackUpButton = 1;
    float rotationDeg = 0.0F;
    int previousMode = 0;
    float pixelsPerMile = 1.0F;
    nav::WaypointRecord centre;  // the projection centre
};

inline constexpr int kViewStateCount = 4;

// The four slots, one per display mode. The UI thread's.
inline std::array<MapViewState, kViewStateCount> g_mapViewStates;

inline void CopyViewState(MapViewState& dest, const MapViewState& src) { dest = src; }

// Whether (x, y) lies in drawRect and not under the traffic window when that
// is shown; both rectangles count their right and bottom edges in.
bool IsInsideDrawArea(const platform::PixelRect& drawRect, const platform::PixelRect* trafficWindow, int x, int y);

}  // namespace map
