#pragma once
// The published navigation values and how the fix-processing thread is
// woken.
//
// The fix-processing thread is the only writer of g_navFix (a replay stands
// in for the port reader, not for this thread); every other thread reads the
// values without a lock, one atomic value at a time. The commit (on the
// port reader's thread) owns the circling state and publishes it here too.
//
// Units as in the fix record: radians with longitude positive WEST, knots,
// feet, hours, degrees where the name says so.

#include <atomic>
#include <cstdint>

#include "gps/gps_fix_record.h"
#include "platform/critical_section.h"
#include "platform/events.h"

namespace gps {

struct NavFix {
    // --- Position (value bit 0x1).
    std::atomic<double> lonRad{0.0};      // g_fixLonRad
    std::atomic<double> latRad{0.0};      // g_fixLatRad
    std::atomic<double> latDegrees{0.0};  // whole degrees, absolute
    std::atomic<double> latMinutes{0.0};
    std::atomic<double> lonDegrees{0.0};
    std::atomic<double> lonMinutes{0.0};
    std::atomic<char> latLetter{'N'};
    std::atomic<char> lonLetter{'W'};

    // --- Time (0x2): hours since the first fix day (beyond 24 after
    // midnight), and the UTC time of day of the fix.
    std::atomic<float> fixTimeHours{0.0F};  // g_fixTimeHours
    std::atomic<int> hours{0};
    std::atomic<int> minutes{0};
    std::atomic<float> seconds{0.0F};

    // --- Course and speed (0x4000).
    std::atomic<float> speedKt{0.0F};  // g_fixSpeedKt
    std::atomic<double> magneticCourse{0.0};
    std::atomic<double> trackDeg{0.0};  // g_fixTrackDeg: true course
    std::atomic<double> trackRad{0.0};  // g_fixTrackRad
    std::atomic<bool> courseUpdated{false};
    std::atomic<float> smoothedSpeedKt{0.0F};
    // Degrees to steer into the wind, positive to the right.
    std::atomic<float> windCorrectionAngle{0.0F};

    // --- Altitudes (0x8, 0x10).
    std::atomic<float> gpsAltitude{kNoValue};  // g_fixAltitude, feet
    // 1 a receiver altitude, -1 one made from the pressure altitude, 0 none.
    std::atomic<int> gpsAltitudeValid{0};
    std::atomic<float> pressureAltitude{0.0F};
    std::atomic<float> qnhAltitude{0.0F};  // shown altitude: QNH below the transition
    std::atomic<bool> pressureKnown{false};
    std::atomic<bool> aboveTransition{false};
    // Feet to subtract from a pressure altitude for the QNH altitude, found
    // by the automatic calibration; kNoValue until it found one.
    std::atomic<float> autoQnhCorrection{kNoValue};
    // Indicated / true airspeed (1 at sea level).
    std::atomic<float> densityFactor{1.0F};
    std::atomic<float> gpsClimb{0.0F};
    std::atomic<float> averagedGpsClimb{kNoValue};

    // --- Heading (0x8000).
    std::atomic<float> magneticHeading{0.0F};
    std::atomic<float> trueHeading{0.0F};
    std::atomic<bool> headingValid{false};

    // --- Airspeed (0x40, 0x80).
    std::atomic<float> indicatedAirspeed{0.0F};
    std::atomic<float> shownAirspeed{0.0F};
    std::atomic<float> trueAirspeed{0.0F};
    std::atomic<bool> trueAirspeedValid{false};
    std::atomic<bool> instrumentAirspeed{false};

    // --- Instrument values.
    std::atomic<float> instrumentMacCready{0.0F};  // 0x100
    std::atomic<bool> instrumentMacCreadyKnown{false};
    std::atomic<bool> ballastFromInstrument{false};  // 0x400 arrived
    std::atomic<bool> instrumentTextShown{false};
    std::atomic<float> temperature{20.0F};  // 0x10000, degrees Celsius
    std::atomic<float> vario{0.0F};         // 0x4
    std::atomic<float> averageVario{0.0F};  // 0x1000
    std::atomic<float> secondVario{0.0F};   // 0x2000
    std::atomic<float> thermalClimb{0.0F};  // 0x20000
    std::atomic<bool> thermalClimbKnown{false};
    // The thermal average with the present thermal folded in.
    std::atomic<float> thermalAverage{0.0F};

    // The source mask of the last published fix.
    std::atomic<std::uint32_t> lastSourceMask{0};

    // --- Flight state, owned by the commit.
    std::atomic<bool> circling{false};  // g_bCircling
    std::atomic<bool> straightFlight{false};
    std::atomic<bool> steadyFlight{false};
};

extern NavFix g_navFix;

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

// Back to the values published at program load (start-up, tests).
void ResetNavFix();

}  // namespace gps
