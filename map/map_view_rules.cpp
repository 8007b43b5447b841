#include "map/map_view_rules.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <system_error>

#include "platform/numbers.h"

namespace map {

std::wstring DroppedWaypointName(int code) {
    return platform::FormatC(L"Waypoint    %d", -code - 10);
}

std::wstring DroppedWaypointNote(const UtcStamp& utc, bool withGroundLevel) {
    return platform::FormatC(withGroundLevel ? L"%u/%u/%u  %u:%u:%u  GL\r\n" : L"%u/%u/%u  %u:%u:%u\r\n",
                             utc.year, utc.month, utc.day, utc.hour, utc.minute, utc.second);
}

UtcStamp UtcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    return {static_cast<unsigned>(utc.tm_year + 1900), static_cast<unsigned>(utc.tm_mon + 1),
            static_cast<unsigned>(utc.tm_mday),        static_cast<unsigned>(utc.tm_hour),
            static_cast<unsigned>(utc.tm_min),         static_cast<unsigned>(utc.tm_sec)};
}

nav::WaypointRecord DroppedWaypoint(const nav::WaypointRecord& point, int code, const UtcStamp& utc,
                                    bool terrainKnown) {
    nav::WaypointRecord waypoint;
    waypoint.CopyPosition(point);
    waypoint.altitude = point.altitudeKnown ? point.altitude : nav::kNoAltitude;
    waypoint.altitudeKnown = point.altitudeKnown;
    waypoint.name.Assign(DroppedWaypointName(code));
    waypoint.attachments.SetComment(DroppedWaypointNote(utc, point.altitudeKnown && terrainKnown));
    return waypoint;
}

std::vector<std::filesystem::path> DefaultMapPlaces(const std::filesystem::path& documents,
                                                    const std::filesystem::path& current) {
    return {documents / kProgramFolder / kDefaultMapName, documents / kDefaultMapName,
            current / kDefaultMapName};
}

std::filesystem::path KeptMapName(const std::filesystem::path& path) {
    const std::wstring stem = path.stem().wstring();
    const std::wstring extension = path.extension().wstring();
    std::error_code error;
    for (int n = 1;; ++n) {
        std::filesystem::path candidate = path.parent_path() / (stem + L"-" + std::to_wstring(n) + extension);
        if (!std::filesystem::exists(candidate, error) && !error) return candidate;
        if (error) return {};
    }
}

KeepResult KeepEarlierDefaultMap(const std::filesystem::path& path,
                                 const std::function<bool(const std::filesystem::path&)>& holdsRecords) {
    std::error_code error;
    if (!std::filesystem::exists(path, error) || !holdsRecords(path)) return {};
    std::filesystem::path kept = KeptMapName(path);
    if (kept.empty()) return {.ok = false, .keptAs = std::nullopt};
    std::filesystem::rename(path, kept, error);
    if (error) return {.ok = false, .keptAs = std::nullopt};
    return {.ok = true, .keptAs = kept};
}

bool OlcFeed::HandOver(bool circling, std::uint32_t nowTicks) {
    if (!circling && (!last_ || nowTicks - *last_ <= kStraightIntervalMs)) return false;
    last_ = nowTicks;
    return true;
}

int LiftColourIndex(float climb, float firstClimb, float secondClimb) {
    const int step = std::clamp(static_cast<int>(std::floor(climb + 0.5F)) + 10, 0, 20);
    return 2 * step + (secondClimb > firstClimb ? 1 : 0);
}

std::wstring ZoneAlarmText(const mapdata::CMapElement& zone, bool altitudeInMetres) {
    return mapdata::MapAltitudeLabel(zone, altitudeInMetres, true) + zone.note;
}

HoldFlags AlarmHoldFlags(bool permanentOff, bool permanentOffNoDisplay) {
    if (!permanentOff) return {.zone = kZoneAcknowledged, .linked = 0, .redraw = false};
    if (!permanentOffNoDisplay) return {.zone = kZoneOff, .linked = 0, .redraw = false};
    return {.zone = kZoneOff | kZoneHidden, .linked = kZoneHidden, .redraw = true};
}

GlideButtonAction GlideModeButton(int iconIndex, bool pressed) {
    GlideButtonAction action;
    if (iconIndex == kGlideReplayRunning)
        action.replayHold = pressed;
    else
        action.postPolarToggle = !pressed;
    return action;
}

int GlideModePicture(bool usePolar, bool constantGlideSpeed) {
    if (!usePolar) return kGlideNoPolar;
    return constantGlideSpeed ? kGlideConstantSpeed : kGlidePolar;
}

std::string InitCoordinateText(double degrees) {
    return platform::FormatC("%.6lf", degrees);
}

}  // namespace map
