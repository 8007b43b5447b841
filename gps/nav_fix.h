#pragma once
// The published navigation values and how the fix-processing thread is
// woken.
//
// The fix-processing thread makes one NavSnapshot of each processed fix and
// publishes it whole (a replay stands in for the port reader, not for this
// thread); every other thread takes the current snapshot and reads its
// values, so that what it shows belongs to one fix. The flight state
// (circling, straight, steady) is the commit's, handed over with the fix.
//
// Units as in the fix record: radians with longitude positive WEST, knots,
// feet, hours, degrees where the name says so.

#include <atomic>
#include <cstdint>
#include <memory>
#include <utility>

#include "gps/gps_fix_record.h"
#include "platform/critical_section.h"
#include "platform/events.h"

namespace gps {

// The values of one processed fix, and what the fix-processing thread
// derived from them and from the fixes before.
struct NavSnapshot {
    // --- Position (value bit 0x1).
    double lonRad = 0.0;      // g_fixLonRad
    double latRad = 0.0;      // g_fixLatRad
    double latDegrees = 0.0;  // whole degrees, absolute
    double latMinutes = 0.0;
    double lonDegrees = 0.0;
    double lonMinutes = 0.0;
    char latLetter = 'N';
    char lonLetter = 'W';

    // --- Time (0x2): hours since the first fix day (beyond 24 after
    // midnight), and the UTC time of day of the fix.
    float fixTimeHours = 0.0F;  // g_fixTimeHours
    int hours = 0;
    int minutes = 0;
    float seconds = 0.0F;

    // --- Course and speed (0x4000).
    float speedKt = 0.0F;  // g_fixSpeedKt
    double magneticCourse = 0.0;
    double trackDeg = 0.0;  // g_fixTrackDeg: true course
    double trackRad = 0.0;  // g_fixTrackRad
    bool courseUpdated = false;
    float smoothedSpeedKt = 0.0F;
    // Degrees to steer into the wind, positive to the right.
    float windCorrectionAngle = 0.0F;

    // --- Altitudes (0x8, 0x10).
    float gpsAltitude = kNoValue;  // g_fixAltitude, feet
    // 1 a receiver altitude, -1 one made from the pressure altitude, 0 none.
    int gpsAltitudeValid = 0;
    float pressureAltitude = 0.0F;
    float qnhAltitude = 0.0F;  // shown altitude: QNH below the transition
    bool pressureKnown = false;
    bool aboveTransition = false;
    // Feet to subtract from a pressure altitude for the QNH altitude, found
    // by the automatic calibration; kNoValue until it found one.
    float autoQnhCorrection = kNoValue;
    // Indicated / true airspeed (1 at sea level).
    float densityFactor = 1.0F;
    float gpsClimb = 0.0F;
    float averagedGpsClimb = kNoValue;

    // --- Heading (0x8000).
    float magneticHeading = 0.0F;
    float trueHeading = 0.0F;
    bool headingValid = false;

    // --- Airspeed (0x40, 0x80).
    float indicatedAirspeed = 0.0F;
    float shownAirspeed = 0.0F;
    float trueAirspeed = 0.0F;
    bool trueAirspeedValid = false;
    bool instrumentAirspeed = false;

    // --- Instrument values.
    float instrumentMacCready = 0.0F;  // 0x100
    bool instrumentMacCreadyKnown = false;
    bool ballastFromInstrument = false;  // 0x400 arrived
    bool instrumentTextShown = false;
    float temperature = 20.0F;  // 0x10000, degrees Celsius
    float vario = 0.0F;         // 0x4
    float averageVario = 0.0F;  // 0x1000
    float secondVario = 0.0F;   // 0x2000
    float thermalClimb = 0.0F;  // 0x20000
    bool thermalClimbKnown = false;
    // The thermal average with the present thermal folded in.
    float thermalAverage = 0.0F;

    // The source mask of the last published fix.
    std::uint32_t lastSourceMask = 0;

    // --- Flight state, as the commit found it for this fix.
    bool circling = false;  // g_bCircling
    bool straightFlight = false;
    bool steadyFlight = false;
    unsigned circlingEnds = 0;  // how often circling ended so far
};

// The snapshot of the last processed fix; never null, never changed once
// published. Any thread: hold the pointer for as long as one consistent set
// of values is needed (a frame, a pass of the texts).
std::shared_ptr<const NavSnapshot> CurrentNav();

// Publishes a new snapshot. Only the fix-processing thread publishes (and
// tests standing in for it, through ChangeNav).
void PublishNav(NavSnapshot snapshot);

// Publishes the current snapshot as `change` alters it.
template <typename Change>
void ChangeNav(Change change) {
    NavSnapshot next = *CurrentNav();
    change(next);
    PublishNav(std::move(next));
}

// Hours since the last fix: the fix-processing thread sets it to 0 with
// every fix, the map's timer adds its period, the back button sets -0.045.
inline std::atomic<double> g_fixAgeHours{0.0};

// Raised by the map view in its thermal display mode: the commit then runs
// the drift update on every fix with a course, circling or not.
inline std::atomic<bool> g_mapDriftUpdate{false};

// Set while a replay feeds the fixes instead of the port reader.
inline std::atomic<bool> g_bReplayRunning{false};

// Guards CurrentFix and the request word. Held only for the record copy,
// the mask clearing and the request word; never together with another lock.
inline platform::CriticalSection FixLock;

// "KOR_VAN_WinCE_data_available": wakes the fix-processing thread after a
// commit or a redraw request. Several sets before it wakes give one wake.
inline platform::AutoResetEvent DataAvailableEvent;

// Redraw requests: the OR of (reason + 1) of the requests not yet served.
// Under FixLock.
inline std::uint32_t g_nPendingData = 0;

// Asks the fix-processing thread to rebuild the navigation texts without a
// new fix (any thread). The event is set only when no request was pending,
// so a burst of requests wakes the thread once.
void SignalNewGpsData(int reason);

// Takes the pending requests (0 when none) under FixLock.
std::uint32_t TakePendingRequests();

// Back to the snapshot published at program load (start-up, tests).
void ResetNavFix();

}  // namespace gps
