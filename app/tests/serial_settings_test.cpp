#include "app/serial_settings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gps/settings_values.h"

namespace {

constexpr char kNmea[] = "NMEA";

struct StoredNumber {
    const char* name;
    std::uint32_t value;
};

class SerialSettings : public ::testing::Test {
  protected:
    void SetUp() override {
        gps::g_gpsPortAutoReset = 0;
        gps::g_autoBaud = 0;
        gps::g_noEventsRS232 = 0;
    }
    platform::SettingsStore store_{std::filesystem::path()};
};

TEST_F(SerialSettings, BaudRateFromTextOrNumberWithinRange) {
    struct Case {
        const char* text;      // "Baud_RateStr"; null: not stored
        std::uint32_t number;  // "Baud_Rate"; 0: not stored
        std::uint32_t rate;
    };
    const Case cases[] = {
        {nullptr, 0, 4800},  {"", 300, 4800},       {"abc", 300, 4800},    {"", 19200, 19200},
        {"9600", 300, 9600}, {" 38400x", 0, 38400}, {"115200", 0, 115200}, {"115201", 0, 4800},
        {"1199", 0, 4800},   {"1200", 0, 1200},     {"-9600", 0, 4800},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(none)");
        platform::SettingsStore store{std::filesystem::path()};
        if (c.text) store.WriteString(kNmea, "Baud_RateStr", std::string_view(c.text));
        if (c.number != 0) store.WriteInt(kNmea, "Baud_Rate", c.number);
        app::LoadSerialSettings(store);
        EXPECT_EQ(gps::g_baudRate.load(), c.rate);
        EXPECT_EQ(store.GetString(kNmea, "Baud_RateStr", std::string_view()),
                  std::to_string(c.rate));
    }
}

TEST_F(SerialSettings, ModeFlagsFollowTheirRules) {
    for (const StoredNumber& s : std::vector<StoredNumber>{{"NMEA_code", 3},
                                               {"UseRxFlag", 1},
                                               {"CheckMsgLength", 0},
                                               {"AutoReset", 1},
                                               {"AutoBaud", 0},
                                               {"noEventsRS232", 1}}) {
        store_.WriteInt(kNmea, s.name, s.value);
    }
    store_.WriteString(kNmea, "Port", std::string_view("/dev/ttyUSB0"));
    app::LoadSerialSettings(store_);
    EXPECT_EQ(gps::g_nmeaCode.load(), 3);
    EXPECT_EQ(gps::g_useRxFlag.load(), 0);       // not with the binary frames
    EXPECT_EQ(gps::g_checkMsgLength.load(), 1);  // always checked
    EXPECT_EQ(gps::g_gpsPortAutoReset.load(), 1);
    EXPECT_EQ(gps::g_autoBaud.load(), 1);  // follows "AutoReset"
    EXPECT_EQ(gps::g_noEventsRS232.load(), 1);
    EXPECT_EQ(gps::g_gpsPortName.Get(), L"/dev/ttyUSB0");
}

TEST_F(SerialSettings, UnknownInputModeBecomesZeroAndKeepsRxFlag) {
    store_.WriteInt(kNmea, "NMEA_code", 7);
    store_.WriteInt(kNmea, "UseRxFlag", 1);
    app::LoadSerialSettings(store_);
    EXPECT_EQ(gps::g_nmeaCode.load(), 0);
    EXPECT_EQ(gps::g_useRxFlag.load(), 1);
    EXPECT_EQ(gps::g_gpsPortName.Get(), L"COM1:");
}

}  // namespace
