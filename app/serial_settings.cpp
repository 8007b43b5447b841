#include "app/serial_settings.h"

#include <string>
#include <string_view>

#include "gps/settings_values.h"
#include "platform/numbers.h"

namespace app {
namespace {

constexpr std::string_view kNmeaSection = "NMEA";

std::int32_t ReadSerialInt(const platform::SettingsStore& store, std::string_view name,
                           std::int32_t defaultValue) {
    return static_cast<std::int32_t>(
        store.GetInt(kNmeaSection, name, static_cast<std::uint32_t>(defaultValue)));
}

std::uint32_t ReadBaudRate(const platform::SettingsStore& store) {
    const std::string text = store.GetString(kNmeaSection, "Baud_RateStr", std::string_view());
    std::uint32_t rate = 0;
    if (const auto scanned = platform::ScanUnsigned(text)) {
        rate = scanned->value;
    } else {
        rate = store.GetInt(kNmeaSection, "Baud_Rate", kDefaultBaudRate);
    }
    return rate < kLowestBaudRate || rate > kHighestBaudRate ? kDefaultBaudRate : rate;
}

}  // namespace

void LoadSerialSettings(platform::SettingsStore& store) {
    const std::int32_t autoReset = ReadSerialInt(store, "AutoReset", gps::g_gpsPortAutoReset);
    gps::g_gpsPortAutoReset = autoReset;
    ReadSerialInt(store, "AutoBaud", gps::g_autoBaud);
    gps::g_autoBaud = autoReset;
    gps::g_noEventsRS232 = ReadSerialInt(store, "noEventsRS232", gps::g_noEventsRS232);

    const std::uint32_t rate = ReadBaudRate(store);
    gps::g_gpsPortName.Set(store.GetString(kNmeaSection, "Port", std::wstring_view(L"COM1:")));

    std::int32_t code = ReadSerialInt(store, "NMEA_code", 0);
    if (code < 0 || code > 3) code = 0;
    gps::g_nmeaCode = code;
    ReadSerialInt(store, "CheckMsgLength", 1);
    gps::g_checkMsgLength = 1;
    const std::int32_t useRxFlag = ReadSerialInt(store, "UseRxFlag", 0);
    gps::g_useRxFlag = code == 3 ? 0 : useRxFlag;

    gps::g_baudRate = rate;
    store.WriteString(kNmeaSection, "Baud_RateStr",
                      platform::FormatC("%lu", static_cast<unsigned long>(rate)));
}

}  // namespace app
