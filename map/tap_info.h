#pragma once
// What a tap on the map finds: the named points within 16 pixels (at most
// four, kept as copies so that no pointer into a list outlives it) and the
// zones over the tapped position with their altitude band and note. The
// caller holds MapListLock while it walks. No wx.

#include <functional>
#include <string>
#include <vector>

#include "core/waypoint_record.h"
#include "map/map_lists.h"
#include "mapdata/map_draw_state.h"

namespace map {

struct PickedObject {
    std::wstring name;
    std::wstring note;
    nav::WaypointRecord position;
};

struct TapInfo {
    std::wstring text;
    std::vector<PickedObject> picked;
    bool Found() const { return !picked.empty() || !text.empty(); }
};

struct TapQuery {
    float tapX = 0.0F;
    float tapY = 0.0F;
    double lonWest = 0.0;  // the tapped position, radians
    double latitude = 0.0;
    float scale = 0.0F;    // the current map scale (visibility)
    bool showEnlarged = false;
    bool exactSuaCheck = false;
    bool altitudeInMetres = false;
    // The arrival text over a point (the glide computer's); may be empty.
    std::function<std::wstring(const nav::WaypointRecord&)> arrival;
};

inline constexpr int kTapReach = 16;   // pixels, in x and in y
inline constexpr int kMaxPicked = 4;

// points: further text elements after the general list (the waypoints').
TapInfo BuildTapInfo(const MapLists& lists, const mapdata::ElementList* points,
                     const mapdata::MapDrawState& state, const TapQuery& query);

}  // namespace map
