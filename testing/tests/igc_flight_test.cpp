// The recorded flight's B records as receiver sentences.
#include "testing/igc_flight.h"

#include <gtest/gtest.h>

#include <cmath>

namespace test_support {
namespace {

TEST(IgcFlightTest, BRecordsGiveFixesAndMalformedLinesAreSkipped) {
    const std::vector<IgcFix> fixes = ReadIgcFixes(
        "AXXX\r\nHFDTE200810\r\n"
        "B2359585106070N00623988EA000760008200210\r\n"  // 51 1.0700' N, 6 23.988' E
        "B2359593558983S14620784WV0007600123\r\n"       // south, west, no fix
        "B0000023600013S14620738E A00099-0012\r\n"      // a space where the validity goes
        "B00X0023600013S14620738EA0009900137\r\n"       // a letter in the time
        "B000002360001\r\n"                             // cut short
        "B0000053600013S14620738EA00099-0012\r\n");     // after midnight, below sea level
    ASSERT_EQ(fixes.size(), 3U);
    const long long day = 1282262400;  // 2010-08-20 00:00 UTC
    EXPECT_EQ(fixes[0].utc, day + 86398);
    EXPECT_NEAR(fixes[0].latitude, 51.0 + 6.070 / 60.0, 1e-9);
    EXPECT_NEAR(fixes[0].longitude, 6.0 + 23.988 / 60.0, 1e-9);
    EXPECT_DOUBLE_EQ(fixes[0].gpsAltitudeM, 82.0);
    EXPECT_TRUE(fixes[0].valid);
    EXPECT_NEAR(fixes[1].latitude, -(35.0 + 58.983 / 60.0), 1e-9);
    EXPECT_NEAR(fixes[1].longitude, -(146.0 + 20.784 / 60.0), 1e-9);
    EXPECT_FALSE(fixes[1].valid);
    EXPECT_EQ(fixes[2].utc, day + 86400 + 5) << "the time went back: the next day";
    EXPECT_DOUBLE_EQ(fixes[2].gpsAltitudeM, -12.0);
}

TEST(IgcFlightTest, SentencesCarryPositionSpeedAndTrack) {
    IgcFix a{.utc = 1282262400 + 3600, .latitude = 51.0, .longitude = -6.5, .gpsAltitudeM = 1200.0};
    IgcFix b = a;
    b.utc += 10;
    b.latitude += 0.01;  // 1112 m north in 10 s: 216.15 kt, track 0
    const std::string text = FixSentences(b, &a);
    const auto rmc = text.substr(0, text.find("\r\n"));
    const auto gga = text.substr(rmc.size() + 2, text.find("\r\n", rmc.size() + 2) - rmc.size() - 2);
    EXPECT_TRUE(flight_text::ChecksumValid(rmc)) << rmc;
    EXPECT_TRUE(flight_text::ChecksumValid(gga)) << gga;
    EXPECT_EQ(rmc.substr(0, rmc.find('*')), "$GPRMC,010010.00,A,5100.6000,N,00630.0000,W,216.15,0.00,200810,,,A");
    EXPECT_EQ(gga.substr(0, gga.find('*')), "$GPGGA,010010.00,5100.6000,N,00630.0000,W,1,08,1.0,1200.0,M,0.0,M,,");
    // The first fix stands; a fix without a position fix says so.
    b.valid = false;
    const std::string first = FixSentences(b, nullptr);
    EXPECT_NE(first.find(",V,5100.6000,N,00630.0000,W,0.00,0.00,"), std::string::npos) << first;
    EXPECT_NE(first.find(",W,0,08,"), std::string::npos) << first;
    // The epochs the feeder plays: one a fix, with its time.
    const auto epochs = FlightEpochs({a, b});
    ASSERT_EQ(epochs.size(), 2U);
    EXPECT_EQ(epochs[1].utc, b.utc);
    EXPECT_EQ(epochs[1].lines.size(), 2U);
}

}  // namespace
}  // namespace test_support
