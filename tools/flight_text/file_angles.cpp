#include "tools/flight_text/file_angles.h"

#include <cmath>

#include "platform/numbers.h"

namespace flight_text {
namespace {

std::string Dms(double degrees) {
    const bool negative = degrees < 0.0;
    const long long hundredths = std::llround(std::fabs(degrees) * 360000.0);
    const long long whole = hundredths / 360000;
    const long long minutes = hundredths / 6000 % 60;
    const double seconds = static_cast<double>(hundredths % 6000) / 100.0;
    // "-0" keeps the sign of a value between -1 and 0.
    return platform::FormatC("%s%lld,%lld,%.2f", negative ? "-" : "", whole, minutes, seconds);
}

}  // namespace

std::string LatitudeDms(double latitude) {
    return Dms(latitude);
}

std::string LongitudeDms(double longitudeEast) {
    return Dms(-longitudeEast);
}

std::string PointDms(double latitude, double longitudeEast) {
    return LatitudeDms(latitude) + "," + LongitudeDms(longitudeEast);
}

}  // namespace flight_text
