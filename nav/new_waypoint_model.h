#pragma once
// What the new-waypoint dialog does without its window: the fields as the
// pilot typed them, the checks, the questions, and what OK writes (a
// waypoint appended to the waypoint file and listed, the start-up position,
// or a point appended to the map file).
//
// Units: the altitude in the user's altitude unit (feet, or metres
// converted with 3.2808), angles as degrees, minutes and seconds. Boxes go
// through platform::ShowMessageBox with texts from the string table. UI
// thread; the list is changed under WaypointListLock (waypoint_edit.h).

#include <optional>
#include <string>
#include <string_view>

#include "core/waypoint_record.h"
#include "nav/map_point_file.h"
#include "nav/waypoint_file.h"
#include "platform/settings_store.h"
#include "resources/ids/new_waypoint_dialog.h"

namespace nav {

// Controls a refusal focuses.
using xrc::new_waypoint_dialog::kAltitudeEdit;
using xrc::new_waypoint_dialog::kLatitudeDegreesEdit;
using xrc::new_waypoint_dialog::kLongitudeDegreesEdit;
using xrc::new_waypoint_dialog::kNameEdit;

struct NewWaypointFields {
    int northSouth = 0;  // 0 north, 1 south
    int eastWest = 1;    // 0 east, 1 west
    double latDegrees = 0.0, latMinutes = 0.0, latSeconds = 0.0;
    double lonDegrees = 0.0, lonMinutes = 0.0, lonSeconds = 0.0;
    float altitude = -1.0F;  // the altitude unit; -1 none (waypoint mode)
    std::wstring name;       // waypoint mode: may carry ", <map values>"
    std::wstring comment;    // may carry "#i<image>" and "#s<sound>" lines
    int marker = 0;
    int pen = 0;      // map-point mode, -16..16
    int mapCode = 1;  // map-point mode
};

// The name field of waypoint mode: the name up to the first comma (ASCII or
// full-width), at most 19 characters, and the map values after it, read as
// "%f%c%f%*c%f%*c%f%*c%f" into code, separator, first pair, second pair
// ('^' as separator sets the altitude-display flag).
struct NameAndExtension {
    std::wstring name;
    MapExtension extension{};
};
NameAndExtension ParseNameField(std::wstring_view text);
// The map values as the name field shows them when editing.
std::wstring ExtensionText(const MapExtension& extension);

// The comment field: the comment without its "#i"/"#s" lines (and without
// a '\' that ended it before them), and the names those lines give.
struct CommentAndAttachments {
    std::wstring comment;
    std::wstring image;
    std::wstring sound;
};
CommentAndAttachments ParseCommentField(std::wstring_view text);

// A map-point record line (CR LF ended); the comment line, when there is a
// comment, follows it with an empty line. lat and lon in degrees, longitude
// positive west.
std::wstring FormatMapPointLines(double latDeg, double lonWestDeg, int code, int pen,
                                 std::wstring_view name, std::wstring_view comment);

// Degrees as the dialog's three fields, rounded to a tenth of a second:
// whole degrees, whole minutes, seconds.
struct DmsFields {
    double degrees, minutes, seconds;
};
DmsFields SplitDegrees(double degrees);

// The typed position in degrees (longitude positive west): exactly 90 deg
// of latitude becomes 89.99999999 and 180 of longitude 179.99999999, so
// neither lands on the singular pole or the date line. Values beyond are
// left for the checks to refuse.
struct EnteredPosition {
    double latitude;
    double lonWest;
};
EnteredPosition EnteredDegrees(const NewWaypointFields& fields);

// The next map code of the spin: codes -7..symbols, never 0, -8, -9, -10.
int StepMapCode(int code, int step, int symbols);

enum class NewWaypointOutcome {
    kRefused,          // stays open; focus says where
    kInitialPosition,  // the start-up position was stored
    kAdded,            // appended to the waypoint file and listed
    kMapPoint,         // appended to the map file
    kNothingWritten,   // closes, nothing to write
};

struct NewWaypointResult {
    NewWaypointOutcome outcome = NewWaypointOutcome::kRefused;
    int focus = 0;   // the control a refusal focuses (0: none)
    int index = -1;  // the new entry of the waypoint list
};

class NewWaypointModel {
  public:
    NewWaypointModel(bool metres, bool mapPointMode);

    NewWaypointFields fields;
    // The waypoint list entry being edited (-1: a new waypoint).
    int editIndex = -1;
    // An existing map record is being edited (map-point mode).
    bool editingMapRecord = false;

    bool MapPointMode() const { return mapPointMode_; }
    bool Metres() const { return metres_; }
    // The altitude range of the field.
    float AltitudeMinimum() const { return metres_ ? -100.0F : -300.0F; }
    float AltitudeMaximum() const { return metres_ ? 12000.0F : 36000.0F; }

    // Fills the fields from a record of the list (editing, or a waypoint
    // picked for a map point): position, altitude, name (with the map
    // values when given), comment and marker.
    void FillFrom(const WaypointRecord& record, const MapExtension* extension);

    // Part of reading the altitude field: an altitude of -1000 or less asks
    // whether the position is the start-up position. True when it stands
    // (confirmed, or not such an altitude); false refuses the field.
    bool ConfirmAltitude();

    // OK, once the fields were read: checks, asks, then writes.
    NewWaypointResult Accept(CWaypointFile& file, platform::SettingsStore& store);

  private:
    std::optional<int> CheckPosition(double& latitude, double& lonWest) const;
    NewWaypointResult AcceptMapPoint(double latitude, double lonWest);
    NewWaypointResult AcceptWaypoint(CWaypointFile& file, double latitude, double lonWest);

    bool metres_;
    bool mapPointMode_;
    bool initialPosition_ = false;
};

}  // namespace nav
