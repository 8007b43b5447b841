// The GPS port dialog's rules, without a window.
#include "gps/port_dialog_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/settings_values.h"
#include "gps/gps_port.h"
#include "gps/port_auto_baud.h"
#include "gps/settings_values.h"
#include "platform/serial_port_names.h"
#include "platform/settings_store.h"

namespace gps {
namespace {

TEST(PortDialogEntries, ArePortsPresentThenTheGpsdEntryOnce) {
    EXPECT_EQ(PortDialogEntries({}), std::vector<std::wstring>{L"#gpsAPI"});
    EXPECT_EQ(PortDialogEntries({L"/dev/ttyS0", L"/dev/ttyUSB0", L"#gpsAPI"}),
              (std::vector<std::wstring>{L"/dev/ttyS0", L"/dev/ttyUSB0", L"#gpsAPI"}));
    EXPECT_EQ(PortDialogEntries({L"#gpsAPI", L"/dev/ttyACM0"}),
              (std::vector<std::wstring>{L"/dev/ttyACM0", L"#gpsAPI"}));
}

TEST(PortDialogEntries, TheCurrentNameIsFoundIgnoringCaseFromTheLastEntry) {
    const std::vector<std::wstring> entries{L"COM1:", L"/dev/ttyUSB0", L"com1:", L"#gpsAPI"};
    EXPECT_EQ(FindPortDialogEntry(entries, L"COM1:"), 2);  // the later of two equal ones
    EXPECT_EQ(FindPortDialogEntry(entries, L"#GPSAPI"), 3);
    EXPECT_EQ(FindPortDialogEntry(entries, L"/dev/ttyUSB0"), 1);
    EXPECT_EQ(FindPortDialogEntry(entries, L"/dev/ttyUSB"), -1);  // whole names only
    EXPECT_EQ(FindPortDialogEntry(entries, L""), -1);
}

TEST(StoredPortName, UpperCasesOnlyComNames) {
    struct Case {
        const wchar_t* typed;
        const wchar_t* stored;
    };
    const Case cases[] = {
        {L"com3:", L"COM3:"},
        {L"Com12", L"COM12"},
        {L"\\\\.\\com4", L"\\\\.\\COM4"},
        {L"#gpsAPI", L"#gpsAPI"},
        {L"#gpsapi", L"#gpsapi"},
        {L"/dev/ttyUSB0", L"/dev/ttyUSB0"},
        {L"/dev/serial/by-id/usb-u-blox_GNSS-if00", L"/dev/serial/by-id/usb-u-blox_GNSS-if00"},
        {L"ttyACM0", L"ttyACM0"},
        {L"com0", L"com0"},    // no such port number
        {L"combo", L"combo"},  // not a port number at all
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StoredPortName(c.typed), c.stored) << platform::MapPortName(c.typed).device;
}

TEST(GeoidSeparation, FeetAreTruncatedAndMetresRoundedHalfAwayFromZero) {
    // Feet to the dialog's unit.
    EXPECT_EQ(GeoidInDialogUnit(99.9, false), 99);
    EXPECT_EQ(GeoidInDialogUnit(-99.9, false), -99);
    EXPECT_EQ(GeoidInDialogUnit(100.0, true), 30);  // 30.48 m
    EXPECT_EQ(GeoidInDialogUnit(-4.93, true), -2);  // -1.503 m
    EXPECT_EQ(GeoidInDialogUnit(-4.92, true), -1);  // -1.4997 m
    EXPECT_EQ(GeoidInDialogUnit(4.93, true), 2);
    // The dialog's unit back to feet.
    EXPECT_EQ(GeoidDialogValueInFeet(-99, false), -99);
    EXPECT_EQ(GeoidDialogValueInFeet(30, true), 98);  // 98.42 ft
    EXPECT_EQ(GeoidDialogValueInFeet(2, true), 7);    // 6.56 ft
    EXPECT_EQ(GeoidDialogValueInFeet(-2, true), -7);
    EXPECT_EQ(GeoidDialogValueInFeet(-1000, true), -3281);  // -3280.8 ft
    // A value no dialog range holds stays out of range instead of wrapping.
    EXPECT_GT(GeoidInDialogUnit(1e12, false), 3000);
    EXPECT_LT(GeoidInDialogUnit(-1e12, true), -1000);
}

TEST(GeoidSeparation, TheRangeFollowsTheUnit) {
    EXPECT_EQ(GpsPortDialogModel(true, 0).GeoidRange().maximum, 1000);
    EXPECT_EQ(GpsPortDialogModel(false, 0).GeoidRange().minimum, -3000);
    EXPECT_EQ(GpsPortDialogModel(true, -4.93).geoidSeparation, -2);
}

TEST(PortDialogLine, KeepsTheLastCharactersAndMarksControlBytes) {
    EXPECT_EQ(PortDialogLine("GPRMC,1"), L"GPRMC,1");
    const std::string longText = std::string(600, 'x') + "END";
    const std::wstring line = PortDialogLine(longText);
    EXPECT_EQ(line.size(), kPortDialogLineLimit);
    EXPECT_TRUE(line.ends_with(L"xEND"));
    EXPECT_EQ(PortDialogLine(std::string("A\0B\x7F", 4)), L"A\uFFFDB\uFFFD");
    EXPECT_EQ(PortDialogLine("\xFF\xFE"), L"\uFFFD\uFFFD");  // noise at a wrong rate
}

// OK's stores, against an in-memory settings store.
class PortDialogAcceptTest : public ::testing::Test {
  protected:
    PortDialogAcceptTest() {
        platform::SetAppSettings(
            std::make_unique<platform::SettingsStore>(std::filesystem::path()));
        SetGpsPortBaudText(L"4800");
        core::g_geoidSeparation = 0.0F;
        core::g_lookAtComErrors = 1;
        g_sirfGga = 0;
        g_gpsPortAutoReset = 0;
        g_autoBaud = 1;
        g_noEventsRS232 = 1;
    }
    ~PortDialogAcceptTest() override { platform::SetAppSettings(nullptr); }

    static std::int32_t Stored(std::string_view section, std::string_view name) {
        return static_cast<std::int32_t>(platform::AppSettings().GetInt(section, name, 12345));
    }
};

TEST_F(PortDialogAcceptTest, StoresTheValidatedValuesAndWritesTheOptions) {
    GpsPortDialogModel model(true, 0.0);
    model.baudRate = 19200;
    model.geoidSeparation = -30;
    const GpsPortChecks checks{
        .sirfGga = 1, .autoReset = 1, .noEventsRS232 = 1, .ignoreComErrors = 1};
    ASSERT_TRUE(model.Accept(L"com2:", checks));

    EXPECT_TRUE(model.changed);
    EXPECT_EQ(model.portName, L"COM2:");
    EXPECT_EQ(GpsPortBaudText(), L"19200");
    EXPECT_EQ(core::g_geoidSeparation.load(), -98.0F);  // -98.42 ft
    EXPECT_EQ(core::g_lookAtComErrors.load(), 0);
    EXPECT_EQ(g_sirfGga.load(), 1);
    EXPECT_EQ(g_gpsPortAutoReset.load(), 1);
    EXPECT_EQ(GpsPortChecks::InForce(), checks);

    EXPECT_EQ(Stored("Options\\NMEA", "lookAtComErrors"), 0);
    EXPECT_EQ(Stored("Options\\NMEA", "Sirf_GGA"), 1);
    EXPECT_EQ(Stored("Options\\NMEA", "GeoidSeparation"), -98);
    EXPECT_EQ(Stored("NMEA", "AutoReset"), 1);
    EXPECT_EQ(Stored("NMEA", "AutoBaud"), 1);  // as in force, not the box
    EXPECT_EQ(Stored("NMEA", "noEventsRS232"), 1);
    // What the frame stores is left to the frame.
    EXPECT_EQ(Stored("NMEA", "Port"), 12345);
    EXPECT_EQ(Stored("NMEA", "Baud_RateStr"), 12345);
}

TEST_F(PortDialogAcceptTest, OutOfRangeValuesChangeNothing) {
    struct Case {
        std::int32_t baud;
        std::int32_t geoid;
        bool metric;
        bool accepted;
    };
    const Case cases[] = {
        {1200, 1000, true, true},    {115200, -1000, true, true}, {1199, 0, false, false},
        {115201, 0, false, false},   {300, 0, true, false},       {4800, 1001, true, false},
        {4800, -3001, false, false}, {4800, 3000, false, true},
    };
    for (const Case& c : cases) {
        platform::SetAppSettings(
            std::make_unique<platform::SettingsStore>(std::filesystem::path()));
        SetGpsPortBaudText(L"4800");
        core::g_geoidSeparation = 7.0F;
        GpsPortDialogModel model(c.metric, 0.0);
        model.baudRate = c.baud;
        model.geoidSeparation = c.geoid;
        EXPECT_EQ(model.Accept(L"/dev/ttyUSB0", {}), c.accepted) << c.baud << ' ' << c.geoid;
        EXPECT_EQ(model.changed, c.accepted);
        EXPECT_EQ(GpsPortBaudText(), c.accepted ? std::to_wstring(c.baud) : L"4800");
        EXPECT_EQ(model.portName, c.accepted ? L"/dev/ttyUSB0" : L"COM1:");
        EXPECT_EQ(core::g_geoidSeparation.load() == 7.0F, !c.accepted);
        EXPECT_EQ(Stored("NMEA", "AutoReset") == 12345, !c.accepted);
    }
}

TEST(AutoResetTick, RestartsTheRateSearchAtTheFirstRate) {
    g_autoBaud = 0;
    ApplyAutoResetTick(true);
    EXPECT_EQ(g_gpsPortAutoReset.load(), 1);
    EXPECT_EQ(g_autoBaud.load(), 1);
    EXPECT_TRUE(AutoBaudArmed());
    EXPECT_EQ(AdvanceAutoBaudRate(), 4800u);  // the reader's next step
    EXPECT_EQ(AdvanceAutoBaudRate(), 9600u);

    ApplyAutoResetTick(false);
    EXPECT_EQ(g_gpsPortAutoReset.load(), 0);
    EXPECT_EQ(g_autoBaud.load(), 0);
    EXPECT_EQ(AutoBaudIndex(), 1u);  // unticking does not restart the search
}

}  // namespace
}  // namespace gps
