#pragma once
// The airspace alarm: one pass of the zone test over the zone list, the
// altitude the test uses, and the enlarged guard copies of the zones.
// Without wx or threads; the alarm thread (alarm_zone_thread.h) runs the
// passes.
//
// Flags (mapdata::element_flag): 0x02 not tested (a source zone with an
// enlarged copy, or a zone the pilot switched off for good), 0x04 enlarged
// copy, 0x08 acknowledged, 0x10 the aircraft was inside at the last pass.
// The pass changes flags by atomic OR and AND, since the UI thread sets
// 0x02, 0x08 and 0x40 on the same words.

#include <chrono>
#include <cstdint>

#include "core/waypoint_record.h"
#include "mapdata/map_read_context.h"

namespace map {

// An element's flags read atomically: how every thread other than the
// alarm thread reads them while it runs.
std::uint32_t LoadFlags(const mapdata::CMapElement& element);

// The altitude the vertical test uses: the pressure altitude (feet) when
// zones are to use it, or the fix has no altitude, and the source supplies
// one (its id is not 0); otherwise the fix's own.
void ChooseZoneAltitude(nav::WaypointRecord& fix, bool pressureAltForZones,
                        std::uint32_t sourceId, float pressureAltitudeFeet);

struct AlarmGuards {
    float belowFeet = 0.0F;
    float aboveFeet = 0.0F;
};

struct AlarmVerdict {
    bool active = false;  // an unacknowledged zone contains the aircraft
    // The first unacknowledged zone hit, else the first hit; null when no
    // zone contains the aircraft.
    mapdata::CMapElement* zone = nullptr;
};

// Tests every zone without flag 0x02: a hit sets 0x10 and the hit time; a
// miss clears 0x10 and lets an acknowledgement lapse once ackHoldSeconds
// have passed since the last hit. terrain: feet, kNoTerrain when unknown.
AlarmVerdict RunAlarmPass(const mapdata::ElementList& zones, const nav::WaypointRecord& fix,
                          AlarmGuards guards, float terrain,
                          std::chrono::system_clock::time_point now);

// The angle a horizontal guard moves a zone's edge: guard x 1.852 / 6371.
double GuardMarginRadians(float guardNm);

// Rebuilds the enlarged copies for guardNm (nautical miles). At 0.001 and
// more: every zone without a copy gets one right after it (serial from
// zoneCounter, 0x02 on the source, 0x04 on the copy), and existing copies
// are made again from their source. Below: the copies go, and their sources
// are tested again unless the pilot switched the copy off for good. The
// caller holds the list lock with the alarm thread joined.
void BuildEnlargedZones(mapdata::ElementList& zones, float guardNm, std::int32_t& zoneCounter);

}  // namespace map
