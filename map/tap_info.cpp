#include "map/tap_info.h"

#include <cmath>

#include "map/alarm_zone_check.h"
#include "mapdata/map_text_element.h"

namespace map {
namespace {

namespace flag = mapdata::element_flag;

void Separate(std::wstring& text) {
    if (!text.empty()) text += L"\r\n";
}

// False once kMaxPicked objects were picked.
bool PickPoint(const mapdata::CMapElement& element, const mapdata::MapDrawState& state,
               const TapQuery& query, TapInfo& info) {
    if (element.Kind() != mapdata::ElementKind::kText) return true;
    const auto& point = static_cast<const mapdata::CMapTextElement&>(element);
    if (!element.IsVisibleAtScale(query.scale)) return true;
    if (point.text.empty() && element.note.empty()) return true;
    const mapdata::ScreenPoint at = mapdata::ProjectToScreen(state, point.position);
    if (std::fabs(at.x - query.tapX) > kTapReach || std::fabs(at.y - query.tapY) > kTapReach) return true;
    const std::wstring name = point.text.substr(0, 20);
    if (!name.empty()) {
        Separate(info.text);
        info.text += L"** " + name;
    }
    nav::WaypointRecord position(point.latitude, point.longitude, false);
    if (query.arrival) info.text += query.arrival(position);
    info.picked.push_back({point.text, element.note, position});
    return static_cast<int>(info.picked.size()) < kMaxPicked;
}

}  // namespace

TapInfo BuildTapInfo(const MapLists& lists, const mapdata::ElementList* points,
                     const mapdata::MapDrawState& state, const TapQuery& query) {
    TapInfo info;
    for (const mapdata::ElementList* list : {&lists.general, points}) {
        if (list == nullptr) continue;
        for (const auto& element : *list) {
            if (!PickPoint(*element, state, query, info)) return info;
        }
    }
    const nav::WaypointRecord tapped(query.latitude, query.lonWest, false);
    bool firstZone = true;
    for (const auto& zone : lists.zones) {
        const std::uint32_t flags = LoadFlags(*zone);
        if ((flags & (flag::kNotesHidden | flag::kNotDrawn)) != 0) continue;
        if (!mapdata::ShouldDrawZone(*zone, query.showEnlarged)) continue;
        if (!zone->ContainsPoint(query.lonWest, query.latitude)) continue;
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
