#pragma once
// What the GPS port dialog does, without its window: the ports it offers,
// the values it starts from, the geoid separation in the user's altitude
// unit, the limits it checks and what OK stores.
//
// The frame fills the members before the dialog runs and reads them after
// OK (when `changed` is set); the window exchanges them with its controls.
// The options behind the check boxes are settings in force, read as the
// dialog opens and stored (and written to the settings store) by OK.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gps/gps_port.h"

namespace gps {

// Feet in a metre, as the dialog has always converted them.
inline constexpr double kDialogFeetPerMetre = 3.2808;
// The live text line shows at most this many of the last characters.
inline constexpr std::size_t kPortDialogLineLimit = 256;

struct IntRange {
    std::int32_t minimum;
    std::int32_t maximum;
    bool Holds(std::int32_t value) const { return value >= minimum && value <= maximum; }
};

inline constexpr IntRange kPortDialogBaudRange{1200, 115200};
inline constexpr IntRange kMetricGeoidRange{-1000, 1000};
inline constexpr IntRange kFeetGeoidRange{-3000, 3000};

// The dialog's check boxes, 0 or 1 each.
struct GpsPortChecks {
    int sirfGga = 0;          // GGA altitudes are above the ellipsoid ("Sirf_GGA")
    int autoReset = 0;        // search for the rate when no sentence comes ("AutoReset")
    int noEventsRS232 = 0;    // the reader polls; shown, not changeable
    int ignoreComErrors = 0;  // the inverse of "lookAtComErrors"

    // The options in force.
    static GpsPortChecks InForce();
    friend bool operator==(const GpsPortChecks&, const GpsPortChecks&) = default;
};

class GpsPortDialogModel {
  public:
    // With the altitude unit and the geoid separation in force.
    GpsPortDialogModel();
    // With a given unit and separation (feet).
    GpsPortDialogModel(bool metric, double geoidFeet);

    // --- The members the frame fills and reads.
    std::wstring portName{kDefaultGpsPortName};
    std::int32_t baudRate = 4800;
    int sentenceSet = -1;              // "NMEA_code": radio index, -1 none
    int useRxFlag = 0;                 // "UseRxFlag"
    std::int32_t geoidSeparation = 0;  // in the user's altitude unit
    bool changed = false;              // set by OK; only then does the frame store its values

    bool Metric() const { return metric_; }
    IntRange GeoidRange() const { return metric_ ? kMetricGeoidRange : kFeetGeoidRange; }

    // OK, once the controls have been read into the members: the baud text
    // becomes the baud rate as a number, the port name the typed one after
    // StoredPortName, and the geoid separation and the check boxes become
    // the settings in force and are written ("Options\NMEA":
    // "lookAtComErrors", "Sirf_GGA", "GeoidSeparation" in whole feet;
    // "NMEA": "AutoReset", "AutoBaud", "noEventsRS232"). False, with nothing
    // changed, when the baud rate or the separation is out of range.
    bool Accept(std::wstring_view typedPortName, const GpsPortChecks& checks);

  private:
    bool metric_ = false;
};

// The port combo's entries: the ports present, then "#gpsAPI" (once).
std::vector<std::wstring> PortDialogEntries(std::vector<std::wstring> present);
// The entry equal to name, ignoring case, searched from the last one; -1
// when none is.
int FindPortDialogEntry(const std::vector<std::wstring>& entries, std::wstring_view name);

// The port name stored for a typed one: "COMn"-style names are upper-cased
// ("com3:" is "COM3:"); device paths, "#gpsAPI" and anything else stay as
// typed, as Linux names are case-sensitive.
std::wstring StoredPortName(std::wstring_view typed);

// Geoid separation between feet and the dialog's unit: feet are truncated;
// metres are rounded half away from zero both ways.
std::int32_t GeoidInDialogUnit(double feet, bool metric);
std::int32_t GeoidDialogValueInFeet(std::int32_t value, bool metric);

// The live text line for the text received since the last '$': the last
// kPortDialogLineLimit characters, control characters shown as U+FFFD.
std::wstring PortDialogLine(std::string_view received);

// A click on the "AutoReset" box: the option follows the box at once, and
// so does "AutoBaud"; ticked, the rate search restarts, its next step going
// to 4800.
void ApplyAutoResetTick(bool ticked);

}  // namespace gps
