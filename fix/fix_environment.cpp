#include "fix/fix_environment.h"

#include <numbers>

#include "glide/current_wind.h"
#include "gps/flight_log_records.h"
#include "gps/nav_fix.h"
#include "gps/nmea_environment.h"

namespace gps {
namespace {

constexpr double kEnvironmentDegreesPerRadian = 180.0 / std::numbers::pi;

// The parser's view of the published values.
class PublishedEnvironment final : public NmeaEnvironment {
  public:
    double TrueCourse() const override { return CurrentNav()->trackDeg; }
    double FixTime() const override { return CurrentNav()->fixTimeHours; }
    double GpsAltitude() const override { return CurrentNav()->gpsAltitude; }
    double WindSpeed() const override { return glide::CurrentWind().speed; }
    double WindDirection() const override {
        return glide::CurrentWind().direction * kEnvironmentDegreesPerRadian;
    }
    double WindCorrectionAngle() const override { return CurrentNav()->windCorrectionAngle; }
    double DensityFactor() const override { return CurrentNav()->densityFactor; }
    // No correction until the calibration has found one.
    double AutomaticQnhCorrection() const override {
        const float correction = CurrentNav()->autoQnhCorrection;
        return correction > -9000.0F ? correction : 0.0;
    }
};

const PublishedEnvironment g_publishedEnvironment;

LoggedWind CurrentLoggedWind() {
    const glide::Wind wind = glide::CurrentWind();
    return {wind.speed, static_cast<float>(wind.direction * kEnvironmentDegreesPerRadian),
            wind.valid};
}

}  // namespace

void InstallFixEnvironment() {
    SetNmeaEnvironment(&g_publishedEnvironment);
    SetLoggedWindSource(&CurrentLoggedWind);
}

}  // namespace gps
