#pragma once
// What a tap on the map finds: the named points within 16 pixels, the map's
// and then the waypoints' (at most four, kept as copies so that no pointer
// into a list outlives it), each with the altitude the glider would arrive
// with over it, and the zones over the tapped position with their altitude
// band and note. The caller holds MapListLock, and WaypointListLock while
// it passes waypoints, while it walks. No wx.

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/waypoint_record.h"
#include "map/map_lists.h"
#include "mapdata/map_draw_state.h"
#include "mapdata/map_text_element.h"

namespace map {

struct PickedObject {
    std::wstring name;
    std::wstring note;
    nav::WaypointRecord position;  // the waypoint itself when one was tapped
    std::wstring arrival;          // ArrivalText's, or empty
};

// A point a tap may pick: a map element, with the waypoint it stands for
// when it is one of the waypoint list's.
struct TapPoint {
    const mapdata::CMapTextElement* element = nullptr;
    const nav::WaypointRecord* waypoint = nullptr;
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
    // The arrival text over a point (ArrivalText of the glide computer's
    // values); may be empty.
    std::function<std::wstring(const nav::WaypointRecord&)> arrival;
};

inline constexpr int kTapReach = 16;   // pixels, in x and in y
inline constexpr int kMaxPicked = 4;

// waypoints: searched after the map's general list.
TapInfo BuildTapInfo(const MapLists& lists, std::span<const TapPoint> waypoints,
                     const mapdata::MapDrawState& state, const TapQuery& query);

// The altitude (feet) the glider at currentFt arrives with over a point
// that needs requiredFt (the glide computer's, terrain included; below 0:
// out of reach), in the altitude unit with its sign: "+512ft", "-90m";
// "NOGO" out of reach.
std::wstring ArrivalText(float currentFt, float requiredFt, bool metres);

}  // namespace map
