#include "texts/wind_texts.h"

#include <array>

#include "platform/numbers.h"
#include "texts/display_units.h"

namespace glide {
namespace {

struct HistoryAltitudeUnit {
    double factor;
    int decimals;
    const wchar_t* name;
};

// Not exact conversions: the figures the history has always shown.
constexpr std::array<HistoryAltitudeUnit, 3> kHistoryAltitudeUnits{
    {{0.001, 1, L"kF"}, {0.000304735, 2, L"km"}, {0.304735, 0, L"m"}}};

HistoryAltitudeUnit PickAltitudeUnit(int index) {
    return index >= 0 && static_cast<std::size_t>(index) < kHistoryAltitudeUnits.size()
               ? kHistoryAltitudeUnits[static_cast<std::size_t>(index)]
               : kHistoryAltitudeUnits[0];
}

}  // namespace

std::wstring WindHistoryLine(const gps::WindRecord& wind, WindLineAltitude altitude,
                             int altitudeUnit, int speedUnit) {
    const double direction = wind.direction;
    std::wstring line;
    if (altitude.kind == WindLineAltitude::Kind::kNone) {
        line = platform::FormatC(L"   ---   %6.0ft  ", direction);
    } else {
        const HistoryAltitudeUnit unit = PickAltitudeUnit(altitudeUnit);
        const wchar_t* format = altitude.kind == WindLineAltitude::Kind::kGps
                                    ? L"%6.*f%ls   %6.0ft  "
                                    : L"%6.*f%lsP  %6.0ft  ";
        line = platform::FormatC(format, unit.decimals, altitude.feet * unit.factor, unit.name,
                                 direction);
    }
    const DisplayUnit speed = SpeedUnit(speedUnit);
    const std::wstring speedName(speed.name);
    line += platform::FormatC(L"%6.1f%ls", double{wind.speed} * speed.factor, speedName.c_str());
    return line;
}

std::wstring WindDisplayText(const gps::WindRecord& wind, int speedUnit) {
    const DisplayUnit speed = SpeedUnit(speedUnit);
    const std::wstring speedName(speed.name);
    return platform::FormatC(L" Wnd:  %03.1f%ls   %01.0ft", double{wind.speed} * speed.factor,
                             speedName.c_str(), double{wind.direction});
}

std::optional<WindLineValues> ParseWindHistoryLine(std::wstring_view line) {
    constexpr std::size_t kSkipBefore = 9;
    constexpr std::size_t kSkipBetween = 2;
    if (line.size() < kSkipBefore) return std::nullopt;
    line.remove_prefix(kSkipBefore);
    const auto direction = platform::ScanFloat(line);
    if (!direction) return std::nullopt;
    line.remove_prefix(direction->length);
    if (line.size() < kSkipBetween) return std::nullopt;
    line.remove_prefix(kSkipBetween);
    const auto speed = platform::ScanFloat(line);
    if (!speed) return std::nullopt;
    return WindLineValues{direction->value, speed->value};
}

}  // namespace glide
