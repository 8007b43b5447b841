#include "gps/port_dialog_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/settings_values.h"
#include "gps/port_auto_baud.h"
#include "gps/settings_values.h"
#include "platform/numbers.h"
#include "platform/serial_port_names.h"
#include "platform/settings_store.h"
#include "platform/utf.h"

namespace gps {
namespace {

constexpr std::string_view kOptionsNmea = "Options\\NMEA";
constexpr std::string_view kNmea = "NMEA";

wchar_t AsciiUpper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return std::ranges::equal(a, b,
                              [](wchar_t x, wchar_t y) { return AsciiUpper(x) == AsciiUpper(y); });
}

// A separation far outside any range the dialog accepts stays outside it
// rather than overflowing.
std::int32_t ToInt32(double value) {
    if (!std::isfinite(value)) return 0;
    constexpr double kLimit = 1e9;
    return static_cast<std::int32_t>(std::clamp(value, -kLimit, kLimit));
}

std::int32_t RoundHalfAwayFromZero(double value) {
    return ToInt32(std::round(value));
}

bool IsControl(wchar_t c) {
    return c < L' ' || c == 0x7F;
}

void WriteChecksAndGeoid(const GpsPortChecks& checks, std::int32_t geoidFeet) {
    core::g_geoidSeparation = static_cast<float>(geoidFeet);
    g_sirfGga = checks.sirfGga;
    core::g_lookAtComErrors = checks.ignoreComErrors == 0 ? 1 : 0;
    platform::SettingsStore& store = platform::AppSettings();
    store.WriteInt(kOptionsNmea, "lookAtComErrors",
                   static_cast<std::uint32_t>(core::g_lookAtComErrors.load()));
    store.WriteInt(kOptionsNmea, "Sirf_GGA", static_cast<std::uint32_t>(checks.sirfGga));
    store.WriteInt(kOptionsNmea, "GeoidSeparation", static_cast<std::uint32_t>(geoidFeet));

    g_gpsPortAutoReset = checks.autoReset;
    g_noEventsRS232 = checks.noEventsRS232;
    store.WriteInt(kNmea, "AutoReset", static_cast<std::uint32_t>(checks.autoReset));
    store.WriteInt(kNmea, "AutoBaud", static_cast<std::uint32_t>(g_autoBaud.load()));
    store.WriteInt(kNmea, "noEventsRS232", static_cast<std::uint32_t>(checks.noEventsRS232));
}

}  // namespace

GpsPortChecks GpsPortChecks::InForce() {
    return {.sirfGga = g_sirfGga.load(),
            .autoReset = g_gpsPortAutoReset.load(),
            .noEventsRS232 = g_noEventsRS232.load(),
            .ignoreComErrors = core::g_lookAtComErrors.load() == 0 ? 1 : 0};
}

GpsPortDialogModel::GpsPortDialogModel()
    : GpsPortDialogModel(core::g_unitAlt.load() != 0, core::g_geoidSeparation.load()) {}

GpsPortDialogModel::GpsPortDialogModel(bool metric, double geoidFeet)
    : geoidSeparation(GeoidInDialogUnit(geoidFeet, metric)), metric_(metric) {}

bool GpsPortDialogModel::Accept(std::wstring_view typedPortName, const GpsPortChecks& checks) {
    if (!kPortDialogBaudRange.Holds(baudRate) || !GeoidRange().Holds(geoidSeparation)) return false;
    SetGpsPortBaudText(platform::FormatC(L"%d", static_cast<int>(baudRate)));
    changed = true;
    portName = StoredPortName(typedPortName);
    WriteChecksAndGeoid(checks, GeoidDialogValueInFeet(geoidSeparation, metric_));
    return true;
}

std::vector<std::wstring> PortDialogEntries(std::vector<std::wstring> present) {
    std::erase(present, std::wstring(platform::kGpsdPortName));
    present.emplace_back(platform::kGpsdPortName);
    return present;
}

int FindPortDialogEntry(const std::vector<std::wstring>& entries, std::wstring_view name) {
    for (std::size_t i = entries.size(); i-- > 0;) {
        if (EqualIgnoringCase(entries[i], name)) return static_cast<int>(i);
    }
    return -1;
}

std::wstring StoredPortName(std::wstring_view typed) {
    std::wstring name(typed);
    // A name the port mapping turns into another device is a "COMn" one;
    // paths and other names map to themselves.
    const platform::PortTarget target = platform::MapPortName(name);
    const bool comStyle = target.kind == platform::PortTarget::Kind::kDevice &&
                          !name.starts_with(L'/') && target.device != platform::ToUtf8(name);
    if (comStyle) std::ranges::transform(name, name.begin(), AsciiUpper);
    return name;
}

std::int32_t GeoidInDialogUnit(double feet, bool metric) {
    return metric ? RoundHalfAwayFromZero(feet / kDialogFeetPerMetre) : ToInt32(std::trunc(feet));
}

std::int32_t GeoidDialogValueInFeet(std::int32_t value, bool metric) {
    return metric ? RoundHalfAwayFromZero(value * kDialogFeetPerMetre) : value;
}

std::wstring PortDialogLine(std::string_view received) {
    std::wstring line = platform::FromUtf8(received);
    if (line.size() > kPortDialogLineLimit) line.erase(0, line.size() - kPortDialogLineLimit);
    std::ranges::replace_if(line, IsControl, L'\uFFFD');
    return line;
}

void ApplyAutoResetTick(bool ticked) {
    g_gpsPortAutoReset = ticked ? 1 : 0;
    if (ticked) RestartAutoBaud();
    g_autoBaud = g_gpsPortAutoReset.load();
}

}  // namespace gps
