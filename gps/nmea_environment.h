#pragma once
// What the sentence parser reads from outside the sentence stream: the
// values the fix-processing thread publishes (read back without a lock, each
// a single word) and the clocks. The fix-processing side installs its own
// environment at start-up; until then, and whenever none is installed, the
// built-in one answers with the values published at program load and the
// system clocks. Tests install fakes.

#include "platform/clock.h"

namespace gps {

class NmeaEnvironment {
  public:
    virtual ~NmeaEnvironment() = default;

    // The magnetic variation in use, degrees east.
    virtual double VariationInUse() const;
    // The published true course, degrees.
    virtual double TrueCourse() const { return 0.0; }
    // The published fix time, hours.
    virtual double FixTime() const { return 0.0; }
    // The published GPS altitude, feet (kNoValue at load).
    virtual double GpsAltitude() const;
    // The current wind: speed in knots and the direction it comes from in
    // degrees.
    virtual double WindSpeed() const { return 0.0; }
    virtual double WindDirection() const { return 0.0; }
    // The wind correction angle, degrees.
    virtual double WindCorrectionAngle() const { return 0.0; }
    // The airspeed density factor (1 at sea level).
    virtual double DensityFactor() const { return 1.0; }
    // The QNH correction found by the automatic calibration, feet.
    virtual double AutomaticQnhCorrection() const { return 0.0; }

    // The calendar clock as UTC and as local time.
    virtual platform::SystemTime UtcNow() const { return platform::SystemTimeUtc(); }
    virtual platform::SystemTime LocalNow() const { return platform::SystemTimeLocal(); }
};

// Installs the environment the parser reads (null: the built-in one). The
// environment must outlive its use; install it before the reader starts.
void SetNmeaEnvironment(const NmeaEnvironment* environment);
const NmeaEnvironment& CurrentNmeaEnvironment();

}  // namespace gps
