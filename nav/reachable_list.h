#pragma once
// The reachable list of the waypoint dialog: the marked waypoints with an
// altitude, ranked by the altitude needed to glide to them from the current
// position (terrain on the way included), and the information text of a
// chosen waypoint.
//
// Altitudes are in feet inside, shown in the altitude unit; distances in
// km inside, shown in the distance unit. The caller holds
// WaypointListLock while ranking (the list is read). UI thread.

#include <memory>
#include <string>
#include <vector>

#include "core/waypoint_record.h"
#include "nav/waypoint_list.h"

namespace nav {

// The most entries the list holds, and how many it keeps whatever the
// altitude: later entries the glider is below are dropped.
inline constexpr std::size_t kReachableMaxEntries = 16;
inline constexpr std::size_t kReachableKeptEntries = 8;

// What the ranking asks of the glide computer.
class ReachGlide {
  public:
    virtual ~ReachGlide() = default;
    // The altitude (feet) needed at `from` to arrive over `to`, distanceKm
    // away on the true course (degrees); negative when it cannot be glided.
    virtual float RequiredAltitude(const WaypointRecord& from, const WaypointRecord& to,
                                   float distanceKm, double courseDeg) = 0;
    // How far (feet) the glide line from `from`, at `required` feet, to
    // `to` passes below the terrain and its margin; 0 when clear or unknown.
    virtual float TerrainShortfall(const WaypointRecord& from, const WaypointRecord& to,
                                   float distanceKm, double courseDeg, float required) = 0;
};

// The glide computer in force: the final glide at the MacCready in use with
// the wind, and, while "useDEMinfo" is on, the elevation model with the
// ground clearance margin.
std::unique_ptr<ReachGlide> MakeCurrentReachGlide();

struct ReachableEntry {
    int index = 0;          // into the waypoint list
    float required = 0.0F;  // feet, terrain included
    std::wstring text;
};

struct ReachableOptions {
    bool metres = false;           // altitude unit
    bool showDifference = false;   // current minus required, signed
    float currentAltitude = 0.0F;  // feet
};

// Every marked waypoint with an altitude, ranked by the altitude it needs
// after any terrain shortfall is added; the best kReachableMaxEntries kept;
// beyond kReachableKeptEntries, those needing more than the current
// altitude dropped. Text: "%4.*f - %s" (required) or "%+4.*f - %s"
// (difference) in the altitude unit.
std::vector<ReachableEntry> RankReachable(const WaypointList& list, const WaypointRecord& position,
                                          ReachGlide& glide, const ReachableOptions& options);

// The information text of a waypoint seen from `position`: name, altitude
// (or "---"), distance and magnetic course, then its comment.
std::wstring WaypointInfoText(const WaypointRecord& waypoint, const WaypointRecord& position,
                              bool metres, int distanceUnit);

}  // namespace nav
