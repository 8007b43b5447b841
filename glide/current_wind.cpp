#include "glide/current_wind.h"

#include <numbers>

namespace glide {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

Wind g_wind;  // under WindLock

}  // namespace

Wind CurrentWind() {
    const platform::CriticalSectionLock lock(WindLock);
    return g_wind;
}

void SetCurrentWind(const Wind& wind) {
    const platform::CriticalSectionLock lock(WindLock);
    g_wind = wind;
}

Wind WindFromVector(double north, double east) {
    Wind wind;
    wind.speed = static_cast<float>(std::hypot(north, east));
    if (wind.speed > 0.0F) {
        double direction = std::atan2(east, north);
        if (direction < 0.0) direction += kTwoPi;
        wind.direction = direction < kTwoPi ? direction : 0.0;
    }
    wind.valid = true;
    return wind;
}

gps::WindRecord ToWindRecord(const Wind& wind) {
    double degrees = wind.direction * kDegreesPerRadian;
    float direction = static_cast<float>(degrees);
    if (!(direction < 360.0F) || direction < 0.0F) direction = 0.0F;
    return {static_cast<float>(wind.North()),
            static_cast<float>(wind.East()),
            wind.speed,
            direction,
            wind.speed,
            wind.SpeedSquared(),
            wind.altitude,
            wind.time};
}

Wind FromWindRecord(const gps::WindRecord& record) {
    return {record.speed, record.direction / kDegreesPerRadian, true, record.altitude, record.time};
}

}  // namespace glide
