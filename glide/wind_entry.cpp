#include "glide/wind_entry.h"

#include <cmath>
#include <string>

#include "core/angles.h"
#include "core/settings_values.h"
#include "glide/current_wind.h"
#include "glide/heading_wind.h"
#include "glide/speed_to_fly_text.h"
#include "glide/wind_history.h"
#include "gps/nav_fix.h"
#include "platform/ddx_text.h"
#include "platform/numbers.h"
#include "resources/ids/strings_wind.h"
#include "texts/display_units.h"

namespace glide {
namespace {

using core::kRadiansPerDegree;
constexpr float kHeadingMax = 359.999F;

float WindTenths(double value) {
    return static_cast<float>(std::trunc(value * 10.0) / 10.0);
}

bool OnlyBlanks(std::wstring_view text) {
    return text.find_first_not_of(L" \t\n\v\f\r") == std::wstring_view::npos;
}

}  // namespace

WindDialogValues InitialWindDialogValues() {
    const Wind wind = CurrentWind();
    return {WindTenths(wind.direction / kRadiansPerDegree),
            WindTenths(double{wind.speed} * CurrentSpeedUnit().factor)};
}

std::optional<WindLineValues> WindValuesOfLine(std::wstring_view line) {
    std::optional<WindLineValues> values = ParseWindHistoryLine(line);
    if (values && values->direction >= 360.0F) values->direction -= 360.0F;
    return values;
}

HeadingEntry ReadHeadingText(std::wstring_view typed) {
    std::wstring text(typed);
    platform::FoldFullWidth(text);
    if (text.empty()) return {};
    const auto number = platform::ScanFloat(std::wstring_view(text));
    if (!number || !OnlyBlanks(std::wstring_view(text).substr(number->length)))
        return {-1.0F, ids::kIdsWindHeadingNotNumber};
    if (number->value < 0.0F || number->value > kHeadingMax)
        return {-1.0F, ids::kIdsWindHeadingRange};
    return {number->value, 0};
}

int ApplyWindHeading(float magneticHeading) {
    const std::shared_ptr<const gps::NavSnapshot> nav = gps::CurrentNav();
    double trueHeading = std::fmod(magneticHeading + core::g_magneticVariation.load(), 360.0);
    if (trueHeading < 0.0) trueHeading += 360.0;
    const double heading = trueHeading * kRadiansPerDegree;
    const double track = nav->trackRad;
    const double speed = nav->speedKt;
    const HeadingWindInput input{static_cast<float>(speed * std::cos(track)),
                                 static_cast<float>(speed * std::sin(track)),
                                 static_cast<float>(std::cos(heading)),
                                 static_cast<float>(std::sin(heading)),
                                 track,
                                 nav->gpsAltitude,
                                 nav->fixTimeHours};
    gps::WindRecord record;
    const int result = ComputeHeadingWind(input, record);
    if (result == kHeadingWindGood) SetCurrentWind(FromWindRecord(record));
    return result;
}

void ApplyWindEntry(float direction, float displaySpeed) {
    Wind wind;
    wind.direction = direction * kRadiansPerDegree;
    wind.speed = displaySpeed / CurrentSpeedUnit().factor;
    wind.valid = true;
    wind.altitude = gps::CurrentNav()->gpsAltitude;
    wind.time = gps::CurrentNav()->fixTimeHours;
    SetCurrentWind(wind);
}

void FinishWindEntry() {
    FormatWindText();
    SpeedToFlyText(core::g_macCready.load());
}

}  // namespace glide
