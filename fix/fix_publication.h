#pragma once
// What the fix-processing thread makes of a committed fix: the published
// snapshot (NavSnapshot), the current wind, the polar's factors, the
// MacCready value in use, and the instrument texts of the flight displays.

#include <cstdint>

#include "fix/fix_commit.h"
#include "gps/gps_fix_record.h"
#include "gps/nav_fix.h"

namespace gps {

class FixPublisher {
  public:
    // Publishes a new snapshot: the last one with the values whose bits the
    // fix's value mask holds, set in an order in which later values use
    // earlier ones (the airspeeds use the density factor, the correction
    // angle the wind), and the commit's flight state. Returns the mask as
    // published: an indicated airspeed derived from the true one counts as
    // delivered.
    std::uint32_t Publish(const GpsFixRecord& fix, const CommittedInstruments& instruments,
                          const FlightState& flight);

    // The texts of the values the mask names, from the snapshot published.
    void WriteTexts(std::uint32_t mask, const NavSnapshot& published, const GpsFixRecord& fix,
                    const CommittedInstruments& instruments);

  private:
    // The automatic QNH: the first ten pressure altitudes are skipped, then
    // up to 50 taken at rest against the receiver's altitude.
    struct QnhCalibration {
        int counter = -10;
        double meanDifference = 0.0;  // pressure altitude - GPS altitude, feet
    };

    void PublishPressureAltitude(NavSnapshot& next, const GpsFixRecord& fix);
    void CalibrateQnh(NavSnapshot& next, float pressureAltitude);
    void WriteClockTexts(const NavSnapshot& published, float fixTime);

    QnhCalibration qnh_;
    bool timerRunning_ = false;
    float timerStart_ = 0.0F;
};

}  // namespace gps
