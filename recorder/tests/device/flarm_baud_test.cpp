// The FLARM options' values, and the baud command on a pseudo-terminal
// playing the GPS port the FLARM unit hangs on.

#include <gtest/gtest.h>
#include <termios.h>

#include <string>
#include <vector>

#include "gps/gps_port.h"
#include "gps/settings_values.h"
#include "platform/message_box.h"
#include "platform/ui_post.h"
#include "platform/utf.h"
#include "recorder/flarm_options.h"
#include "testing/pseudo_terminal.h"

namespace recorder {
namespace {

using namespace std::chrono_literals;

TEST(FlarmOptionsTest, TheObjectsBitsAndValuesGoBothWays) {
    CFLARMobject object{};
    object.sounds = 0x35;  // bits 0x1, 0x4 and two the page does not show
    object.showTcas = 1;
    const FlarmOptionValues shown = FlarmOptionValues::From(object);
    EXPECT_EQ(shown.sounds, (std::array<bool, 4>{true, false, true, false}));
    EXPECT_TRUE(shown.showTcas);
    EXPECT_FALSE(shown.climb);

    platform::SettingsStore store("");
    const FlarmOptionValues set{{false, true, false, true}, false, true};
    set.Apply(object, store);
    EXPECT_EQ(object.sounds, 0x3A);
    EXPECT_EQ(object.showTcas, 0);
    EXPECT_EQ(object.climb, 1);
    EXPECT_EQ(store.GetInt("Settings", "FLARMsounds", 0), 0x3AU);
    EXPECT_EQ(store.GetInt("Settings", "FLARMshowTCAS", 9), 0U);
    EXPECT_EQ(store.GetInt("Settings", "FLARMclimb", 9), 1U);
}

TEST(FlarmOptionsTest, TheItemShownForThePortsRate) {
    const std::vector<std::wstring> items(kFlarmBaudItems.begin(), kFlarmBaudItems.end());
    struct Case {
        std::uint32_t rate;
        int item;
    } const cases[] = {{19200, 2}, {4800, 0}, {115200, 6}, {14400, 0}, {0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(FlarmBaudItemFor(items, c.rate), c.item) << c.rate;
    const std::vector<std::wstring> fullWidth{L"4800", L"\uff19\uff16\uff10\uff10"};
    EXPECT_EQ(FlarmBaudItemFor(fullWidth, 9600), 1);
    EXPECT_EQ(FlarmBaudItemRate(L"(reserved)"), std::nullopt);
    EXPECT_EQ(FlarmBaudItemRate(L"0"), std::nullopt);
}

class FlarmBaudTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pty_.Valid());
        gps::g_baudRate = 4800;
        ASSERT_TRUE(gps::OpenGpsPort(platform::FromUtf8(pty_.Path())));
    }
    void TearDown() override {
        gps::CloseGpsPort();
        gps::g_baudRate = 4800;
    }

    speed_t PortSpeed() const {
        termios t{};
        ::tcgetattr(pty_.Master(), &t);
        return ::cfgetospeed(&t);
    }

    platform::ScopedRecordingSink boxes_;
    platform::ScopedRecordingUiPost posts_;
    test_support::PseudoTerminal pty_;
    platform::SettingsStore store_{""};
};

TEST_F(FlarmBaudTest, TheCommandReachesTheUnitAndThePortFollows) {
    ASSERT_TRUE(SetFlarmBaud(2, L"19200", store_, 50));
    EXPECT_EQ(pty_.Receive(17), "$PFLAC,S,BAUD,2\r\n");
    EXPECT_EQ(PortSpeed(), static_cast<speed_t>(B19200));
    EXPECT_EQ(gps::g_baudRate.load(), 19200U);
    EXPECT_EQ(gps::GpsPortBaudText(), L"19200");
    EXPECT_EQ(store_.GetString("NMEA", "Baud_RateStr", std::string_view()), "19200");
}

TEST_F(FlarmBaudTest, AnItemThatIsNoRateSendsNothing) {
    EXPECT_FALSE(SetFlarmBaud(3, L"(reserved)", store_, 50));
    EXPECT_EQ(pty_.Receive(1, 200ms), "");
    EXPECT_EQ(PortSpeed(), static_cast<speed_t>(B4800));
    EXPECT_FALSE(store_.Get("NMEA", "Baud_RateStr"));

    gps::CloseGpsPort();
    EXPECT_FALSE(SetFlarmBaud(2, L"19200", store_, 50));
    EXPECT_EQ(gps::g_baudRate.load(), 4800U);
}

}  // namespace
}  // namespace recorder
