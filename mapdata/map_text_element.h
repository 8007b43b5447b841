#pragma once
// CMapTextElement: a point object of the map: a symbol with its name
// (symbol records of text maps, waypoints), a multi-line label, or a point
// marker (such as a dropped waypoint).
//
// Same threading as every element (map_element.h).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/waypoint_attachments.h"
#include "core/waypoint_record.h"
#include "mapdata/map_element.h"
#include "mapdata/sphere_geometry.h"

namespace mapdata {

// Kind codes: 0 and above a symbol number, kLabelCode a label, kMarkerCode
// and below a point marker.
inline constexpr std::int32_t kLabelCode = -5;
inline constexpr std::int32_t kMarkerCode = -11;

class CMapTextElement : public CMapElement {
  public:
    CMapTextElement() : CMapElement(ElementKind::kText) {}

    // The element of a waypoint. params: kind code, scale values 1 and 2,
    // elevation threshold, scale values 3 and 4. The element shows the
    // waypoint's elevation when it is known and either the waypoint carries
    // the elevation marker or the threshold is above 0. A comment, when
    // given, replaces the waypoint's own.
    static CMapTextElement CreateFromWaypoint(const nav::WaypointRecord& waypoint,
                                              const std::array<float, 6>& params,
                                              std::optional<std::wstring_view> comment = {});

    // Inclusive: the point lies in the box or on its edge.
    bool IntersectsBox(const core::GeoBox& box) const override;

    double longitude = 0.0;  // radians, positive west
    double latitude = 0.0;
    std::wstring text;  // the symbol's name or the label's lines, split by '\'
    std::int32_t kindCode = 0;
    float elevation = 0.0F;  // feet
    UnitVector position;
    bool elevationGiven = false;
    bool noteGiven = false;
    nav::WaypointAttachments attachments;
    float scale3 = 0.0F;  // the name's visible-scale range (equal: always)
    float scale4 = 0.0F;
};

}  // namespace mapdata
