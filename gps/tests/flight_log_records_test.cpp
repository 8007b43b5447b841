// The per-fix lines of the flight log, written through a log the test opens.
#include "gps/flight_log_records.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>

#include "core/utm.h"
#include "gps/nav_fix.h"
#include "gps/tests/nmea_test_support.h"
#include "platform/numbers.h"
#include "platform/ui_post.h"
#include "services/flight_log.h"

namespace gps::testing {
namespace {

constexpr const char* kRmc = "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W";
constexpr const char* kGga = "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";

class FlightLogRecordsTest : public NmeaTest {
  protected:
    void SetUp() override {
        NmeaTest::SetUp();
        core::g_logFormat = 1;
        core::g_logInterval = 1;
        core::g_logDataOn = 1;
        core::g_logSpeedTrack = 1;
        core::g_useUtm = 0;
        core::g_fxa = 10.0F;
        g_bInTurnpointZone = false;
        core::g_enlValue.running = false;
        core::g_dateHeaderOffset = -1;
        ResetNavFix();
        ResetFixRecords();
        SetLoggedWindSource(nullptr);
        path_ = ::testing::TempDir() + "kv_fix_records_XXXXXX";
        const int fd = ::mkstemp(path_.data());
        ASSERT_GE(fd, 0);
        core::g_hFlightLog.Attach(platform::UniqueFd(fd));
        core::g_igcDigest.Start(0);
    }
    void TearDown() override {
        core::g_hFlightLog.Close();
        ::unlink(path_.c_str());
        NmeaTest::TearDown();
    }

    // The parser and the log writer, and the commit's clearing of the masks.
    void Log(std::string_view body) {
        ASSERT_TRUE(HandleBody(body).accepted) << body;
        WriteFixRecords(PendingFix);
        fix.valueMask = fix.sourceMask = 0;
    }
    // The two position fixes that are never logged.
    void WarmUp(std::string_view body = kRmc) {
        Log(body);
        Log(body);
        ASSERT_EQ(Content(), "");
    }
    void StartOver() {
        TearDown();
        SetUp();
    }
    // What one sentence added to the log.
    std::string Added(std::string_view body) {
        const std::size_t before = Content().size();
        Log(body);
        return Content().substr(before);
    }

    std::string Content() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    std::string path_;
};

TEST_F(FlightLogRecordsTest, IgcFixLines) {
    struct Case {
        const char* what;
        std::function<void()> before;
        const char* sentence;
        const char* line;
    };
    const Case cases[] = {
        {"receiver only: the GNSS altitude in both fields; HDOP 1 before any GGA", [] {}, kRmc,
         "B1235194807038N01131000EA0000000000010\r\n"},
        {"GGA altitude + geoid, HDOP 0.9", [this] { ASSERT_TRUE(HandleBody(kGga).accepted); }, kRmc,
         "B1235194807038N01131000EA0059200592009\r\n"},
        {"pressure altitude of an instrument",
         [this] {
             ASSERT_TRUE(HandleBody(kGga).accepted);
             state.pressureSource = pressure_source::kInstrument;
             fix.pressureAltitude = 3280.8F;
         },
         kRmc, "B1235194807038N01131000EA0100000592009\r\n"},
        {"minutes rounding to 60 carry into the degrees", [] {},
         "GPRMC,235959,A,4759.99996,S,00759.99996,W,022.4,084.4,230394,003.1,W",
         "B2359594800000S00800000WA0000000000010\r\n"},
        {"FXA at least 1", [this] { state.hdop = 0.05F; }, kRmc,
         "B1235194807038N01131000EA0000000000001\r\n"},
        {"FXA at most 999", [this] { state.hdop = 150.0F; }, kRmc,
         "B1235194807038N01131000EA0000000000999\r\n"},
        {"FXA from its setting",
         [this] {
             state.hdop = 1.5F;
             core::g_fxa = 4.0F;
         },
         kRmc, "B1235194807038N01131000EA0000000000006\r\n"},
        {"engine noise level",
         [] {
             core::g_enlValue.running = true;
             core::g_enlValue.value = 42;
         },
         kRmc, "B1235194807038N01131000EA0000000000010042\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartOver();
        WarmUp();
        c.before();
        EXPECT_EQ(Added(c.sentence), c.line);
    }
}

TEST_F(FlightLogRecordsTest, SatelliteRecordPrecedesTheNextFixLine) {
    WarmUp();
    EXPECT_EQ(Added("GPGSA,A,3,05,7,12,,,,,,,,,,2.5,1.3,2.1"), "");
    EXPECT_EQ(Added(kRmc),
              "F123519050712\r\n"
              "B1235194807038N01131000EA0000000000010\r\n");
    EXPECT_FALSE(state.satellites.changed);
    Log("GPGSA,A,3,05,7,12,,,,,,,,,,2.5,1.3,2.1");  // unchanged: no F record
    EXPECT_EQ(Added(kRmc), "B1235194807038N01131000EA0000000000010\r\n");
}

int LinesLogged(const std::string& content) {
    return static_cast<int>(std::count(content.begin(), content.end(), '\n'));
}

TEST_F(FlightLogRecordsTest, IntervalCountsPositionFixesAndIsReachedOrPassed) {
    // Interval 1: the third position fix is the first logged.
    Log(kRmc);
    Log(kRmc);
    Log(kGga);  // no position: neither counted nor logged
    EXPECT_EQ(LinesLogged(Content()), 0);
    Log(kRmc);
    EXPECT_EQ(LinesLogged(Content()), 1);

    core::g_logInterval = 3;
    for (int i = 0; i < 6; ++i)
        Log(kRmc);
    EXPECT_EQ(LinesLogged(Content()), 3);

    // Counter at 2 of 5; lowering the interval to 2 logs at once.
    core::g_logInterval = 5;
    Log(kRmc);
    Log(kRmc);
    core::g_logInterval = 2;
    Log(kRmc);
    EXPECT_EQ(LinesLogged(Content()), 4);

    // Inside a turnpoint zone every fix.
    core::g_logInterval = 5;
    g_bInTurnpointZone = true;
    Log(kRmc);
    Log(kRmc);
    EXPECT_EQ(LinesLogged(Content()), 6);

    core::g_logInterval = 0;
    Log(kRmc);
    EXPECT_EQ(LinesLogged(Content()), 6);
}

// A receiver's epoch at 12:35:<second>, its GGA at altitudeM (no geoid
// separation), and the B record that belongs to it.
std::string EpochRmc(int second) {
    return platform::FormatC("GPRMC,1235%02d,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W",
                             second);
}
std::string EpochGga(int second, int altitudeM) {
    return platform::FormatC("GPGGA,1235%02d,4807.038,N,01131.000,E,1,08,0.9,%d.0,M,0.0,M,,",
                             second, altitudeM);
}
std::string EpochLine(int second, int altitudeM) {
    return platform::FormatC("B1235%02d4807038N01131000EA%05d%05d009\r\n", second, altitudeM,
                             altitudeM);
}
int EpochAltitude(int second) {
    return 500 + 7 * second;
}

TEST_F(FlightLogRecordsTest, EachLineHasTheAltitudeOfItsOwnEpochInEverySentenceOrder) {
    enum class Order { kRmcFirst, kGgaFirst, kGgaOnly };
    for (const Order order : {Order::kRmcFirst, Order::kGgaFirst, Order::kGgaOnly}) {
        for (const int interval : {1, 2}) {
            SCOPED_TRACE("order " + std::to_string(static_cast<int>(order)) + ", interval " +
                         std::to_string(interval));
            StartOver();
            core::g_logInterval = interval;
            // A receiver of GGA alone: the position comes from the GGA.
            g_nmeaCode = order == Order::kGgaOnly ? 2 : 0;
            std::string expected;
            // The counter starts at -2 and reaches the interval at the
            // position interval + 2; every interval-th after it is logged.
            for (int second = 1; second <= 9; ++second) {
                if (order != Order::kRmcFirst) Log(EpochGga(second, EpochAltitude(second)));
                if (order != Order::kGgaOnly) Log(EpochRmc(second));
                if (order == Order::kRmcFirst) Log(EpochGga(second, EpochAltitude(second)));
                if (second >= interval + 2 && (second - interval - 2) % interval == 0)
                    expected += EpochLine(second, EpochAltitude(second));
            }
            EXPECT_EQ(Content(), expected);
        }
    }
}

TEST_F(FlightLogRecordsTest, ALineWaitingForItsAltitudeIsNeverLost) {
    for (int second = 1; second <= 3; ++second) {
        Log(EpochRmc(second));
        Log(EpochGga(second, EpochAltitude(second)));
    }
    ASSERT_EQ(Content(), EpochLine(3, EpochAltitude(3)));
    // The GGA of 4 is lost: its line is written with the altitude known when
    // the next epoch's position comes.
    Log(EpochRmc(4));
    EXPECT_EQ(Added(EpochRmc(5)), EpochLine(4, EpochAltitude(3)));
    // A GGA of another epoch does not complete the line of 5.
    EXPECT_EQ(Added(EpochGga(6, EpochAltitude(6))), EpochLine(5, EpochAltitude(3)));
    // The log closes before the GGA of 7 comes.
    Log(EpochRmc(7));
    const std::size_t before = Content().size();
    WriteHeldFixLine();
    EXPECT_EQ(Content().substr(before), EpochLine(7, EpochAltitude(6)));
    WriteHeldFixLine();
    EXPECT_EQ(Content().size(), before + EpochLine(7, 0).size());
}

TEST_F(FlightLogRecordsTest, TextLogLines) {
    core::g_logFormat = 0;
    g_hcHdgTrue = 0;
    // 12:30:00 at 47.123456 N, 8.5 E (west positive: -8.5), no course.
    constexpr const char* kPosition = "GPRMC,123000,A,4707.40736,N,00830.00000,E,,,230394,,";
    WarmUp(kPosition);
    EXPECT_EQ(Added(kPosition), "POS, 12.50000, 47.123456, -8.500000,,\r\n");

    Log("GPGGA,123000,4707.40736,N,00830.00000,E,1,08,0.9,304.8,M,0.0,M,,");
    EXPECT_EQ(Added("GPRMC,123000,A,4707.40736,N,00830.00000,E,50.0,90.0,230394,002.0,E"),
              "POS, 12.50000, 47.123456, -8.500000, 1000,, 50.0, 90.0, 90.0\r\n");

    // A heading alone keeps the course columns empty.
    Log("HCHDG,101.5,,,,");
    EXPECT_EQ(Added(kPosition), "POS, 12.50000, 47.123456, -8.500000,,,,,, 101.5\r\n");

    core::g_logSpeedTrack = 0;
    Log("GPGGA,123000,4707.40736,N,00830.00000,E,1,08,0.9,545.4,M,46.9,M,,");
    EXPECT_EQ(Added(kPosition), "POS, 12.50000, 47.123456, -8.500000, 1943\r\n");
}

TEST_F(FlightLogRecordsTest, TextLogInUtmHasNorthingBeforeEasting) {
    core::g_logFormat = 0;
    core::g_logSpeedTrack = 0;
    core::g_useUtm = 1;
    ChangeNav([&](NavSnapshot& nav) { nav.fixTimeHours = 36.5F; });
    WarmUp();
    const std::string line = Added("GPRMC,123000,A,4700.000,N,00900.000,E,,,230394,,");
    // 47 N 9 E lies on the central meridian of zone 32.
    const core::UtmPosition utm = core::LatLonToUTM(47.0, -9.0, core::AngleUnit::kDegrees);
    ASSERT_EQ(utm.zone, 32);
    EXPECT_EQ(line,
              platform::FormatC("PUM, 36.50000, %8.0f, 32, %7.0f\r\n", utm.northing, utm.easting));
    EXPECT_NEAR(utm.easting, 500000.0, 1.0);
}

// Values no sentence gives (a replay may): each field is held to its width.
TEST_F(FlightLogRecordsTest, AbsurdValuesStayInsideTheirFields) {
    WarmUp();
    state.pressureSource = pressure_source::kInstrument;
    state.hdop = 1e30F;
    fix.pressureAltitude = -1e30F;
    fix.gpsAltitude = 1e30F;
    fix.latMinutes = std::nan("");
    fix.valueMask = value_bit::kPosition;
    WriteFixRecords(PendingFix);
    EXPECT_EQ(Content(), "B1235194800000N01131000EA-999999999999\r\n");

    core::g_logFormat = 0;
    fix.valueMask = value_bit::kPosition | value_bit::kGpsAltitude;
    fix.sourceMask = source_bit::kRmcCourse | source_bit::kHeading | source_bit::kAirspeed;
    fix.gpsAltitudeValid = 1;
    fix.groundSpeed = 3e38F;
    fix.magneticHeading = std::nanf("");
    fix.trueAirspeed = -3e38F;
    fix.latitude = 1e300;
    const std::size_t before = Content().size();
    WriteFixRecords(PendingFix);
    EXPECT_EQ(Content().substr(before),
              "POS, 12.58861, 1000000.000000, -11.516667, 1000000, -1000000, 1000000.0, 84.4, "
              "84.4, 0.0, -1000000.0\r\n");
}

TEST_F(FlightLogRecordsTest, PressureAltitudeStandsInWithoutAReceiverAltitude) {
    core::g_logFormat = 0;
    core::g_logSpeedTrack = 0;
    WarmUp();
    // No calibration yet: the pressure altitude as it is (not 10000 ft more).
    Log("PGRMZ,2000,F");
    EXPECT_FLOAT_EQ(fix.gpsAltitude, 2000.0F);
    EXPECT_EQ(fix.gpsAltitudeValid, -1);
    EXPECT_FLOAT_EQ(state.glideGpsAltitude, 2000.0F);
    EXPECT_EQ(Added(kRmc), "POS, 12.58861, 48.117300, -11.516667, 2000, 2000\r\n");

    ChangeNav([&](NavSnapshot& nav) { nav.autoQnhCorrection = 150.0F; });
    Log("PGRMZ,2000,F");
    EXPECT_FLOAT_EQ(fix.gpsAltitude, 1850.0F);

    // Once a receiver altitude came, no more.
    Log(kGga);
    Log("PGRMZ,2500,F");
    EXPECT_NEAR(fix.gpsAltitude, 1789.4F, 0.1F);
}

TEST_F(FlightLogRecordsTest, DateHeaderIsCompletedOnceAndTheDigestCoversIt) {
    ASSERT_TRUE(core::WriteLogLine("AXKV000 KOR_VAN_WinCE\r\n"));
    const auto headerOffset = static_cast<std::int64_t>(Content().size());
    core::g_dateHeaderOffset = headerOffset;
    ASSERT_TRUE(core::WriteLogLine("HFDTE000000\r\n"));
    ASSERT_TRUE(core::WriteLogLine("LXKV TEST\r\n"));
    Log("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,,003.1,W");  // no date
    Log(kRmc);
    Log("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,,003.1,W");
    EXPECT_EQ(core::g_dateHeaderOffset, headerOffset);  // a line, but no date yet
    Log(kRmc);
    EXPECT_EQ(core::g_dateHeaderOffset, -1);
    const std::string content = Content();
    EXPECT_EQ(content.substr(0, 36), "AXKV000 KOR_VAN_WinCE\r\nHFDTE230394\r\n");

    core::IgcDigest expected;
    expected.Start(core::g_igcDigest.Seed());
    for (std::size_t start = 0; start < content.size();) {
        const std::size_t end = content.find('\n', start);
        expected.Fold(content.substr(start, end - start));
        start = end + 1;
    }
    EXPECT_EQ(core::g_igcDigest.Table(), expected.Table());

    Log(kRmc);
    EXPECT_EQ(Content().substr(0, 36), "AXKV000 KOR_VAN_WinCE\r\nHFDTE230394\r\n");
    EXPECT_EQ(core::g_igcDigest.Slot(), expected.Slot() + 1);
}

TEST_F(FlightLogRecordsTest, AFailedWriteIsReported) {
    const int fd = ::open("/dev/full", O_RDWR);
    if (fd < 0) GTEST_SKIP() << "no /dev/full";
    platform::ScopedRecordingUiPost posts;
    core::g_hFlightLog.Attach(platform::UniqueFd(fd));
    Log(kRmc);
    Log(kRmc);
    Log(kRmc);
    ASSERT_EQ(posts->Records().size(), 1U);
    EXPECT_EQ(posts->Records()[0].message, platform::WM_APP_LOGWRITEERROR);
    EXPECT_EQ(posts->Records()[0].lParam, ENOSPC);
}

}  // namespace
}  // namespace gps::testing
