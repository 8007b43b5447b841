#pragma once
// Smaller rules of the map window, free of wx: the dropped waypoint's name
// and note, where the default map goes and how an earlier one is kept, the
// OLC feed's pace, the lift colour of a track dot, the zone hold's flags,
// the glide-mode button and the stored start position.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/waypoint_record.h"
#include "mapdata/map_element.h"

namespace map {

// --- Dropped waypoints ("Waypoint    %d", the number -code - 10).
std::wstring DroppedWaypointName(int code);

struct UtcStamp {
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
// "%u/%u/%u  %u:%u:%u\r\n", with "  GL" before the line end when the
// record has an altitude and the terrain is known.
std::wstring DroppedWaypointNote(const UtcStamp& utc, bool withGroundLevel);
// The time of day now, UTC.
UtcStamp UtcNow();

// The waypoint a dropped map point becomes ("SaveDroppedWpts"): its
// position and altitude, the name of its map code, the note with "  GL"
// when its altitude is the known terrain's.
nav::WaypointRecord DroppedWaypoint(const nav::WaypointRecord& point, int code, const UtcStamp& utc,
                                    bool terrainKnown);

// --- The default map made on the first fix.
inline constexpr wchar_t kDefaultMapName[] = L"!!!def##.map";
inline constexpr wchar_t kProgramFolder[] = L"KOR_VAN WinCE";

// The places tried in order: the program's folder in the documents folder,
// the documents folder, the current folder.
std::vector<std::filesystem::path> DefaultMapPlaces(const std::filesystem::path& documents,
                                                    const std::filesystem::path& current);

// A name beside `path` that no file has yet: "!!!def##-1.map", "-2", ...
std::filesystem::path KeptMapName(const std::filesystem::path& path);

// Makes `path` free for a new default map: an existing map holding any
// record after its header (the dropped waypoints of an earlier flight) is
// renamed to KeptMapName; an empty one stays to be replaced. The kept name,
// or nothing when none was needed; an error when the rename failed.
struct KeepResult {
    bool ok = true;
    std::optional<std::filesystem::path> keptAs;
};
KeepResult KeepEarlierDefaultMap(const std::filesystem::path& path,
                                 const std::function<bool(const std::filesystem::path&)>& holdsRecords);

// --- The OLC feed: every fix while circling; otherwise at most one every
// 300,000 ms, and only after a first hand-over.
class OlcFeed {
  public:
    static constexpr std::uint32_t kStraightIntervalMs = 300000;
    bool HandOver(bool circling, std::uint32_t nowTicks);

  private:
    std::optional<std::uint32_t> last_;
};

// --- The track dot's lift colour index: twice clamp(floor(climb + 0.5) +
// 10, 0, 20), plus 1 when the second climb value is above the first.
int LiftColourIndex(float climb, float firstClimb, float secondClimb);

// --- The zone alarm's popup: the zone's altitude band in the pilot's
// altitude unit, a line end, then its note.
std::wstring ZoneAlarmText(const mapdata::CMapElement& zone, bool altitudeInMetres);

// --- The zone hold: the flags the held zone gets.
inline constexpr std::uint32_t kZoneInside = 0x10;
inline constexpr std::uint32_t kZoneAcknowledged = 0x08;
inline constexpr std::uint32_t kZoneOff = 0x02;
inline constexpr std::uint32_t kZoneHidden = 0x40;
struct HoldFlags {
    std::uint32_t zone = 0;    // or'ed into the zone
    std::uint32_t linked = 0;  // or'ed into its linked element
    bool redraw = false;
};
HoldFlags AlarmHoldFlags(bool permanentOff, bool permanentOffNoDisplay);

// --- Button 125: the glide-mode picture is its icon index.
inline constexpr int kGlideReplayRunning = 5;
inline constexpr int kGlidePolar = 6;
inline constexpr int kGlideNoPolar = 7;
inline constexpr int kGlideConstantSpeed = 8;
struct GlideButtonAction {
    std::optional<bool> replayHold;  // set the shared replay-hold flag to this
    bool postPolarToggle = false;
};
GlideButtonAction GlideModeButton(int iconIndex, bool pressed);
// The button's picture outside a replay.
int GlideModePicture(bool usePolar, bool constantGlideSpeed);

// --- "InitLatitude" / "InitLongitude": degrees with "%.6lf".
std::string InitCoordinateText(double degrees);

}  // namespace map
