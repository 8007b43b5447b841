#include "map/tap_info.h"

#include <cmath>

#include "map/alarm_zone_check.h"
#include "mapdata/map_text_element.h"
#include "platform/numbers.h"

namespace map {
namespace {

namespace flag = mapdata::element_flag;

void Separate(std::wstring& text) {
    if (!text.empty()) text += L"\r\n";
}

// The point a map element stands for: its position, and its elevation when
// it gives one.
nav::WaypointRecord ElementPoint(const mapdata::CMapTextElement& point) {
    nav::WaypointRecord position(point.latitude, point.longitude, false);
    position.name.Assign(point.text);
    if (point.elevationGiven) {
        position.altitude = point.elevation;
        position.altitudeKnown = true;
    }
    return position;
}

// False once kMaxPicked objects were picked.
bool PickPoint(const mapdata::CMapTextElement& point, const nav::WaypointRecord* waypoint,
               const mapdata::MapDrawState& state, const TapQuery& query, TapInfo& info) {
    if (!point.IsVisibleAtScale(query.scale)) return true;
    if (point.text.empty() && point.note.empty()) return true;
    const mapdata::ScreenPoint at = mapdata::ProjectToScreen(state, point.position);
    if (std::fabs(at.x - query.tapX) > kTapReach || std::fabs(at.y - query.tapY) > kTapReach) return true;
    const std::wstring name = point.text.substr(0, 20);
    if (!name.empty()) {
        Separate(info.text);
        info.text += L"** " + name;
    }
    const nav::WaypointRecord position = waypoint != nullptr ? *waypoint : ElementPoint(point);
    std::wstring arrival = query.arrival ? query.arrival(position) : std::wstring();
    if (!arrival.empty()) info.text += L"  " + arrival;
    info.picked.push_back({point.text, point.note, position, std::move(arrival)});
    return static_cast<int>(info.picked.size()) < kMaxPicked;
}

}  // namespace

std::wstring ArrivalText(float currentFt, float requiredFt, bool metres) {
    if (requiredFt < 0.0F) return L"NOGO";
    const float arrival = currentFt - requiredFt;
    const double shown = metres ? arrival / nav::kFeetPerMetre : arrival;
    return platform::FormatC(L"%+.0f%ls", shown, metres ? L"m" : L"ft");
}

TapInfo BuildTapInfo(const MapLists& lists, std::span<const TapPoint> waypoints,
                     const mapdata::MapDrawState& state, const TapQuery& query) {
    TapInfo info;
    for (const auto& element : lists.general) {
        if (element->Kind() != mapdata::ElementKind::kText) continue;
        const auto& point = static_cast<const mapdata::CMapTextElement&>(*element);
        if (!PickPoint(point, nullptr, state, query, info)) return info;
    }
    for (const TapPoint& point : waypoints) {
        if (point.element != nullptr && !PickPoint(*point.element, point.waypoint, state, query, info))
            return info;
    }
    const nav::WaypointRecord tapped(query.latitude, query.lonWest, false);
    bool firstZone = true;
    for (const auto& zone : lists.zones) {
        const std::uint32_t flags = LoadFlags(*zone);
        if ((flags & (flag::kNotesHidden | flag::kNotDrawn)) != 0) continue;
        if (!mapdata::ShouldDrawZone(*zone, query.showEnlarged)) continue;
        if (!zone->ContainsPoint(core::FromRadiansWest(query.latitude, query.lonWest))) continue;
        nav::WaypointRecord probe = tapped;
        probe.altitude = -1000.0F;
        if (query.exactSuaCheck && !zone->ZoneTest(probe, 0.0F, 0.0F, -1.0F)) continue;
        if (!firstZone || !info.text.empty()) {
            Separate(info.text);
            info.text += L"** ";
        }
        firstZone = false;
        info.text += mapdata::MapAltitudeLabel(*zone, query.altitudeInMetres, false);
        if (!zone->note.empty()) info.text += L"\r\n" + zone->note;
    }
    return info;
}

}  // namespace map
