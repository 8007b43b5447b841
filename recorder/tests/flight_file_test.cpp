// Recorded flights read back: file types, record forms, the minimum step
// and the day count; real IGC files from other loggers.
#include "recorder/flight_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "testing/scratch_folder.h"

namespace recorder {
namespace {

const std::filesystem::path kTestData =
    std::filesystem::path(KV_SOURCE_DIR) / "../shared/testdata/igc";

class FlightFileTest : public ::testing::Test {
  protected:
    CFlightType& Open(std::string_view text) {
        file_ = std::make_unique<CFlightType>();
        file_->Open(folder_.Write("flight", text));
        return *file_;
    }
    std::vector<FlightRecord> ReadAll(std::string_view text, double stepSeconds = 0.0) {
        CFlightType& file = Open(text);
        file.minimumStep = stepSeconds / 3600.0;
        std::vector<FlightRecord> records;
        while (const auto record = file.ParseRecord())
            records.push_back(*record);
        return records;
    }

    test_support::ScratchFolder folder_{"kv-flight-file"};
    std::unique_ptr<CFlightType> file_;
};

TEST_F(FlightFileTest, TheFirstBytesTellTheType) {
    struct Case {
        const char* text;
        int type;
        bool utm;
        int quote;
    };
    const Case cases[] = {
        {"AXKVQ7Z KOR_VAN_WinCE\r\n", kFlightFileIgc, false, 0},
        {"KOR_VAN WinCE log data\r\n", kFlightFileTextLog, false, 0},
        {"KOR FLIGHT data\r\n", kFlightFileOldTextLog, false, 0},
        {"UTM KOR_VAN log data\r\n", kFlightFileTextLog, true, 0},
        {"\"KOR_VAN WinCE log data\"\r\n", kFlightFileTextLog, false, 1},
        {"-8.5, 47.1, 1, 2, 3, 12, 0, 0\r\n", kFlightFilePlainList, false, 0},
        {"AXKV\r\n", kFlightFileUnreadable, false, 0},  // too short to tell
    };
    for (const Case& c : cases) {
        CFlightType& file = Open(c.text);
        EXPECT_EQ(file.GetFileType(), c.type) << c.text;
        EXPECT_EQ(file.utm, c.utm) << c.text;
        EXPECT_EQ(file.quoteOffset, c.quote) << c.text;
    }
}

TEST_F(FlightFileTest, IgcFixesWithAndWithoutAltitude) {
    CFlightType& file = Open(
        "AXKVQ7Z KOR_VAN_WinCE\r\n"
        "B1200004700000N00800000EA0010000100\r\n"
        "B1200104730000S00815000WA00100\r\n"
        "B1200204700000N00800000EV0010000100\r\n"  // not valid: skipped
        "B1200304700000X00800000EA0010000100\r\n"  // no hemisphere: skipped
        "LXKV something\r\n");
    auto record = file.ParseRecord();
    ASSERT_TRUE(record);
    EXPECT_DOUBLE_EQ(record->latitude, 47.0);
    EXPECT_DOUBLE_EQ(record->lonWest, -8.0);
    EXPECT_TRUE(file.hasAltitude);
    EXPECT_NEAR(file.altitude, 328.08, 1e-3);
    EXPECT_DOUBLE_EQ(file.lastTime, 12.0);
    record = file.ParseRecord();
    ASSERT_TRUE(record);
    EXPECT_DOUBLE_EQ(record->latitude, -47.5);
    EXPECT_DOUBLE_EQ(record->lonWest, 8.25);
    EXPECT_FALSE(file.hasAltitude);
    EXPECT_FALSE(file.ParseRecord());
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(FlightFileTest, TheMinimumStepAndTheDayCount) {
    std::string text = "AXKVQ7Z KOR_VAN_WinCE\r\n";
    for (int s = 0; s < 12; ++s)
        text += "B2359" + std::string(s < 10 ? "4" : "5") + std::to_string(s % 10) +
                "4700000N00800000EA0010000100\r\n";
    EXPECT_EQ(ReadAll(text, 4.0).size(), 3U);  // 23:59:40, :44, :48

    CFlightType& file = Open(
        "AXKVQ7Z KOR_VAN_WinCE\r\n"
        "B2359594700000N00800000EA0010000100\r\n"
        "B0000014700000N00800000EA0010000100\r\n");
    ASSERT_TRUE(file.ParseRecord());
    ASSERT_TRUE(file.ParseRecord());
    EXPECT_EQ(file.dayCount, 1);
}

TEST_F(FlightFileTest, TextLogColumns) {
    CFlightType& file = Open(
        "KOR_VAN WinCE log data\r\n"
        "Type, Time [hrs], Latitude [deg], Longitude [deg], Altitude [ft]\r\n"
        "POS, 12.50000, 47.123456, -8.500000,,, 50.0, 90.0, 88.0, 91.0, 55.0\r\n"
        "RMZ, 12.50100, , , 1234\r\n"
        "POS, 12.50200, 47.2, -8.6, 1500, 1400, 51.0, 92.0, 89.0,, 56.0\r\n"
        "GGA, 12.50300, 47.3, -8.7, 1600\r\n");
    auto record = file.ParseRecord();
    ASSERT_TRUE(record);
    EXPECT_DOUBLE_EQ(record->latitude, 47.123456);
    EXPECT_DOUBLE_EQ(record->lonWest, -8.5);
    EXPECT_FALSE(file.hasAltitude);
    EXPECT_TRUE(record->hasSpeed && record->hasCompass && record->hasAirspeed);
    EXPECT_FLOAT_EQ(file.trueTrack, 90.0F);
    EXPECT_FLOAT_EQ(file.compass, 91.0F);
    EXPECT_FLOAT_EQ(file.trueAirspeed, 55.0F);

    record = file.ParseRecord();  // the RMZ line only set the altitude
    ASSERT_TRUE(record);
    EXPECT_DOUBLE_EQ(file.lastTime, 12.502);
    EXPECT_TRUE(file.hasAltitude);
    EXPECT_DOUBLE_EQ(file.altitude, 1500.0);
    EXPECT_TRUE(record->hasSpeed);
    EXPECT_FALSE(record->hasCompass);
    EXPECT_TRUE(record->hasAirspeed);  // behind the empty compass column
    EXPECT_FLOAT_EQ(file.trueAirspeed, 56.0F);

    record = file.ParseRecord();
    ASSERT_TRUE(record);
    EXPECT_FALSE(record->hasSpeed);
    EXPECT_DOUBLE_EQ(file.altitude, 1600.0);
}

TEST_F(FlightFileTest, PlainListsAndLongLines) {
    const auto records = ReadAll(
        "-8.5, 47.1, 1, 2, 3, 12, 30, 15\r\nnot a line\r\n8.25, -1.0, 1, 2, 3, 12, 30, 16\r\n");
    ASSERT_EQ(records.size(), 2U);
    EXPECT_DOUBLE_EQ(records[1].lonWest, 8.25);
    EXPECT_DOUBLE_EQ(records[1].latitude, -1.0);

    const std::string fix = "B1200004700000N00800000EA0010000100\r\n";
    EXPECT_EQ(
        ReadAll("AXKVQ7Z KOR_VAN_WinCE\r\n" + fix + "L" + std::string(300, 'x') + "\r\n" + fix)
            .size(),
        1U);
}

TEST_F(FlightFileTest, RealFilesGiveEveryValidFixInOrder) {
    struct Case {
        const char* name;
        std::size_t fixes;
    };
    for (const Case c : {Case{"0asljd01.igc", 4020}, Case{"apf-bug554.igc", 4872},
                         Case{"18BF14K1.igc", 202}, Case{"2010-08-20-XCS-AAA-08.igc", 0}}) {
        std::ifstream in(kTestData / c.name, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        ASSERT_FALSE(text.empty()) << c.name;
        const std::vector<FlightRecord> records = ReadAll(text);
        EXPECT_EQ(records.size(), c.fixes) << c.name;
        EXPECT_EQ(file_->dayCount, 0) << c.name;
    }
}

}  // namespace
}  // namespace recorder
