#include "mapdata/map_text_element.h"

#include <cmath>

namespace mapdata {
namespace {

// The value truncated towards zero; 0 for what no 32-bit integer holds.
std::int32_t Truncate(float value) {
    if (!(value > -2147483648.0F && value < 2147483648.0F)) return 0;
    return static_cast<std::int32_t>(value);
}

}  // namespace

CMapTextElement CMapTextElement::CreateFromWaypoint(const nav::WaypointRecord& waypoint,
                                                    const std::array<float, 6>& params,
                                                    std::optional<std::wstring_view> comment) {
    CMapTextElement element;
    element.kindCode = Truncate(params[0]);
    element.scale1 = params[1];
    element.scale2 = params[2];
    element.scale3 = params[4];
    element.scale4 = params[5];
    element.longitude = static_cast<float>(waypoint.longitude);
    element.latitude = static_cast<float>(waypoint.latitude);
    element.position = {static_cast<float>(waypoint.x), static_cast<float>(waypoint.y),
                        static_cast<float>(waypoint.z)};
    element.text.assign(waypoint.name.View());
    element.attachments = waypoint.attachments;
    if (comment) element.attachments.SetComment(*comment);
    element.noteGiven = !element.attachments.comment.empty();
    if (waypoint.altitudeKnown && (waypoint.HasMarker() || params[3] > 0.0F)) {
        element.elevation = waypoint.altitude;
        element.elevationGiven = true;
    }
    return element;
}

bool CMapTextElement::IntersectsBox(const core::GeoBox& box) const {
    return box.Contains(core::FromRadiansWest(latitude, longitude));
}

}  // namespace mapdata
