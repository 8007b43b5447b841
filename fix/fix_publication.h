#pragma once
// What the fix-processing thread makes of a committed fix: the published
// values (g_navFix, the current wind, the polar's factors, the MacCready
// value in use) and the instrument texts of the flight displays.

#include <cstdint>

#include "fix/fix_commit.h"
#include "gps/gps_fix_record.h"

namespace gps {

class FixPublisher {
  public:
    // Publishes the values whose bits the fix's value mask holds, in an
    // order in which later values use earlier ones (the airspeeds use the
    // density factor, the correction angle the wind). Returns the mask as
    // published: an indicated airspeed derived from the true one counts as
    // delivered.
    std::uint32_t Publish(const GpsFixRecord& fix, const CommittedInstruments& instruments);

    // The texts of the values the mask names, from the published values.
    void WriteTexts(std::uint32_t mask, const GpsFixRecord& fix,
                    const CommittedInstruments& instruments);

  private:
    // The automatic QNH: the first ten pressure altitudes are skipped, then
    // up to 50 taken at rest against the receiver's altitude.
    struct QnhCalibration {
        int counter = -10;
        double meanDifference = 0.0;  // pressure altitude - GPS altitude, feet
    };

    void PublishPressureAltitude(const GpsFixRecord& fix);
    void CalibrateQnh(float pressureAltitude);
    void WriteClockTexts(float fixTime);

    QnhCalibration qnh_;
    bool timerRunning_ = false;
    float timerStart_ = 0.0F;
};

}  // namespace gps
