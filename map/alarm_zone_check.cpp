#include "map/alarm_zone_check.h"

#include <atomic>
#include <iterator>
#include <memory>

#include "mapdata/map_circle_element.h"
#include "mapdata/map_file.h"
#include "mapdata/map_poly_element.h"

namespace map {
namespace {

namespace ef = mapdata::element_flag;
using mapdata::CMapElement;
using mapdata::ElementKind;

void SetFlags(CMapElement& e, std::uint32_t bits) { std::atomic_ref(e.flags).fetch_or(bits); }
void ClearFlags(CMapElement& e, std::uint32_t bits) { std::atomic_ref(e.flags).fetch_and(~bits); }
std::uint32_t Flags(const CMapElement& e) { return LoadFlags(e); }

bool IsZoneKind(const CMapElement& e) {
    return e.Kind() == ElementKind::kCircle || e.Kind() == ElementKind::kPoly;
}

// An enlarged copy of source, guardNm wider, with the source's flags less
// 0x02 (a copy of a zone switched off for good stays off: it keeps 0x02
// when keepOff).
std::unique_ptr<CMapElement> MakeEnlargedCopy(const CMapElement& source, float guardNm, bool keepOff) {
    std::unique_ptr<CMapElement> copy;
    if (source.Kind() == ElementKind::kCircle) {
        auto circle = std::make_unique<mapdata::CMapCircleElement>(
            static_cast<const mapdata::CMapCircleElement&>(source));
        circle->radiusKm += guardNm * mapdata::kKmPerNm;
        copy = std::move(circle);
    } else {
        auto poly = std::make_unique<mapdata::CMapPolyElement>(
            static_cast<const mapdata::CMapPolyElement&>(source));
        poly->PrepareZone(static_cast<float>(GuardMarginRadians(guardNm)));
        copy = std::move(poly);
    }
    copy->ComputeBounds();
    copy->flags = (Flags(source) & ~(ef::kNotTested | ef::kInside | ef::kAcknowledged)) |
                  ef::kEnlargedCopy | (keepOff ? ef::kNotTested : 0U);
    copy->zoneSerial = source.zoneSerial;
    return copy;
}

bool IsCopy(const CMapElement& e) { return (Flags(e) & ef::kEnlargedCopy) != 0; }

}  // namespace

std::uint32_t LoadFlags(const mapdata::CMapElement& element) {
    return element.LoadFlags();
}

void ChooseZoneAltitude(nav::WaypointRecord& fix, bool pressureAltForZones, std::uint32_t sourceId,
                        float pressureAltitudeFeet) {
    if ((pressureAltForZones || !fix.altitudeKnown) && sourceId != 0) {
        fix.altitude = pressureAltitudeFeet;
        fix.altitudeKnown = true;
    }
}

AlarmVerdict RunAlarmPass(const mapdata::ElementList& zones, const nav::WaypointRecord& fix,
                          AlarmGuards guards, float terrain, std::chrono::system_clock::time_point now) {
    AlarmVerdict verdict;
    CMapElement* firstHit = nullptr;
    for (const auto& zone : zones) {
        CMapElement& e = *zone;
        const std::uint32_t flags = Flags(e);
        if ((flags & ef::kNotTested) != 0) continue;
        if (e.ZoneTest(fix, guards.belowFeet, guards.aboveFeet, terrain)) {
            SetFlags(e, ef::kInside);
            e.alarmTime = now;
            if (firstHit == nullptr) firstHit = &e;
            if ((flags & ef::kAcknowledged) == 0 && verdict.zone == nullptr) {
                verdict.zone = &e;
                verdict.active = true;
            }
            continue;
        }
        ClearFlags(e, ef::kInside);
        if ((flags & ef::kAcknowledged) != 0 &&
            now - e.alarmTime > std::chrono::seconds(e.ackHoldSeconds)) {
            ClearFlags(e, ef::kAcknowledged);
        }
    }
    if (verdict.zone == nullptr) verdict.zone = firstHit;
    return verdict;
}

double GuardMarginRadians(float guardNm) {
    return static_cast<double>(guardNm) * mapdata::kKmPerNm / 6371.0;
}

void BuildEnlargedZones(mapdata::ElementList& zones, float guardNm, std::int32_t& zoneCounter) {
    if (guardNm < 0.001F) {
        mapdata::ElementList kept;
        kept.reserve(zones.size());
        for (std::size_t i = 0; i < zones.size(); ++i) {
            CMapElement& e = *zones[i];
            const bool linked = e.zoneSerial != 0;
            if (IsCopy(e) && linked) continue;
            if (linked) {
                // The copy that follows decides whether the zone stays off.
                const bool next = i + 1 < zones.size() && IsCopy(*zones[i + 1]) &&
                                  zones[i + 1]->zoneSerial == e.zoneSerial;
                const bool copyOff = next && (Flags(*zones[i + 1]) & ef::kNotTested) != 0;
                if (!copyOff) ClearFlags(e, ef::kNotTested);
                e.zoneSerial = 0;
            }
            kept.push_back(std::move(zones[i]));
        }
        zones = std::move(kept);
        return;
    }
    for (std::size_t i = 0; i < zones.size(); ++i) {
        CMapElement& source = *zones[i];
        if (!IsZoneKind(source) || IsCopy(source)) continue;
        const bool hasCopy = source.zoneSerial != 0 && i + 1 < zones.size() &&
                             IsCopy(*zones[i + 1]) && zones[i + 1]->zoneSerial == source.zoneSerial;
        if (hasCopy) {
            const bool off = (Flags(*zones[i + 1]) & ef::kNotTested) != 0;
            zones[i + 1] = MakeEnlargedCopy(source, guardNm, off);
        } else {
            // A zone switched off for good keeps its copy off.
            const bool off = (Flags(source) & ef::kNotTested) != 0;
            source.zoneSerial = zoneCounter++;
            SetFlags(source, ef::kNotTested);
            zones.insert(zones.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                         MakeEnlargedCopy(source, guardNm, off));
        }
        ++i;  // past the copy
    }
}

}  // namespace map
