#include "fix/fix_environment.h"

#include <numbers>

#include "glide/current_wind.h"
#include "gps/flight_log_records.h"
#include "gps/nav_fix.h"
#include "gps/nmea_environment.h"

namespace gps {
namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

// The parser's view of the published values.
class PublishedEnvironment final : public NmeaEnvironment {
  public:
    double TrueCourse() const override { return g_navFix.trackDeg.load(); }
    double FixTime() const override { return g_navFix.fixTimeHours.load(); }
    double GpsAltitude() const override { return g_navFix.gpsAltitude.load(); }
    double WindSpeed() const override { return glide::CurrentWind().speed; }
    double WindDirection() const override {
        return glide::CurrentWind().direction * kDegreesPerRadian;
    }
    double WindCorrectionAngle() const override { return g_navFix.windCorrectionAngle.load(); }
    double DensityFactor() const override { return g_navFix.densityFactor.load(); }
    // No correction until the calibration has found one.
    double AutomaticQnhCorrection() const override {
        const float correction = g_navFix.autoQnhCorrection.load();
        return correction > -9000.0F ? correction : 0.0;
    }
};

const PublishedEnvironment g_publishedEnvironment;

LoggedWind CurrentLoggedWind() {
    const glide::Wind wind = glide::CurrentWind();
    return {wind.speed, static_cast<float>(wind.direction * kDegreesPerRadian), wind.valid};
}

}  // namespace

void InstallFixEnvironment() {
    SetNmeaEnvironment(&g_publishedEnvironment);
    SetLoggedWindSource(&CurrentLoggedWind);
}

}  // namespace gps
