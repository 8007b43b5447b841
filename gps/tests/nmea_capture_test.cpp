// A real capture from a FLARM-equipped instrument, line by line through the
// whole input path. What the parser yields is checked against each
// sentence's own text, read here with arithmetic of the test's own.
#include <cmath>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "gps/nmea_classify.h"
#include "gps/port_line_assembler.h"
#include "gps/tests/nmea_test_support.h"

namespace gps::testing {
namespace {

std::vector<std::string> CaptureLines() {
    std::ifstream file(KV_SOURCE_DIR "/../shared/testdata/nmea/flarm-capture.nmea");
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

// The sentence's fields: the identifier first, the checksum cut off.
std::vector<std::string> Fields(const std::string& line) {
    const std::string body = line.substr(1, line.find('*') - 1);
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t comma; (comma = body.find(',', start)) != std::string::npos;
         start = comma + 1) {
        fields.push_back(body.substr(start, comma - start));
    }
    fields.push_back(body.substr(start));
    return fields;
}

// "ddmm.mmm" (or "dddmm.mmm") with its hemisphere, in radians, north and
// west positive.
double WireAngle(const std::string& text, const std::string& hemisphere) {
    const std::size_t degreeDigits = text.find('.') - 2;
    const double degrees = std::stod(text.substr(0, degreeDigits));
    const double minutes = std::stod(text.substr(degreeDigits));
    const double radians = (degrees + minutes / 60.0) * std::numbers::pi / 180.0;
    return hemisphere == "S" || hemisphere == "E" ? -radians : radians;
}

// How the capture is fed: as recorded; without its GGA sentences (the
// PGRMZ altitude then stands in as the GPS altitude); with its PGRMZ sent
// as a 2D fix (the FLARM's pressure altitude).
enum class Feed { kAsRecorded, kWithoutGga, kRmzTwoD };

int g_flarmSentences = 0;
void CountFlarm(int, const char*, float, float, int) {
    ++g_flarmSentences;
}

class CaptureTest : public NmeaTest, public ::testing::WithParamInterface<Feed> {
  protected:
    void SetUp() override {
        NmeaTest::SetUp();
        PretendFlarmPresent();
        g_flarmSentences = 0;
        SetFlarmTransfer(CountFlarm);
    }
    void TearDown() override {
        SetFlarmTransfer(nullptr);
        NmeaTest::TearDown();
    }

    void CheckRmc(const std::vector<std::string>& f, bool accepted) {
        ASSERT_TRUE(accepted);
        EXPECT_NEAR(fix.latitude, WireAngle(f[3], f[4]), 1e-12);
        EXPECT_NEAR(fix.longitude, WireAngle(f[5], f[6]), 1e-12);
        EXPECT_FLOAT_EQ(fix.groundSpeed, std::stof(f[7]));
        EXPECT_NEAR(fix.trueCourse, std::stod(f[8]), 1e-9);
        EXPECT_EQ(fix.hours, std::stoi(f[1].substr(0, 2)));
        EXPECT_EQ(fix.minutes, std::stoi(f[1].substr(2, 2)));
        EXPECT_FLOAT_EQ(fix.seconds, std::stof(f[1].substr(4)));
        EXPECT_EQ(state.date.day, std::stoi(f[9].substr(0, 2)));
        EXPECT_EQ(fix.valueMask, value_bit::kPosition | value_bit::kFixTime |
                                     value_bit::kVariation | value_bit::kCourseAndSpeed);
        ++positions;
    }

    void CheckGga(const std::vector<std::string>& f, bool accepted) {
        ASSERT_TRUE(accepted);
        EXPECT_FLOAT_EQ(fix.gpsAltitude, std::stof(f[9]) * 3.2808F);
        EXPECT_EQ(fix.gpsAltitudeValid, 1);
        EXPECT_EQ(fix.valueMask, value_bit::kGpsAltitude);
        ++gpsAltitudes;
    }

    void CheckRmz(const std::vector<std::string>& f, bool accepted, Feed feed) {
        const float feet = std::stof(f[1]) * (f[2] == "m" || f[2] == "M" ? 3.2808F : 1.0F);
        const bool twoD = f.size() == 3 || f[3] == "2";
        if (twoD) {  // FLARM was seen before any PGRMZ of the capture
            ASSERT_TRUE(accepted);
            EXPECT_FLOAT_EQ(fix.pressureAltitude, feet);
            EXPECT_EQ(fix.valueMask, value_bit::kPressureAltitude);
            ++pressureAltitudes;
        } else if (feed == Feed::kWithoutGga) {
            ASSERT_TRUE(accepted);
            EXPECT_FLOAT_EQ(fix.gpsAltitude, feet);
            EXPECT_EQ(fix.valueMask, value_bit::kGpsAltitude);
            ++gpsAltitudes;
        } else {
            EXPECT_FALSE(accepted);  // the GGA altitude is the better one
            EXPECT_EQ(fix.valueMask, 0U);
        }
    }

    int positions = 0;
    int gpsAltitudes = 0;
    int pressureAltitudes = 0;
};

std::string AsFed(const std::string& line, Feed feed) {
    if (feed != Feed::kRmzTwoD || !line.starts_with("$PGRMZ")) return line;
    std::string body = line.substr(1, line.find('*') - 1);
    body.back() = '2';
    return Sentence(body).substr(0, body.size() + 4);
}

// The capture holds a few lines with bytes behind the checksum; those are
// refused and change nothing.
bool EndsWithChecksum(const std::string& line) {
    return line.size() > 4 && line[line.size() - 3] == '*';
}

TEST_P(CaptureTest, EveryLineParsesToItsOwnValues) {
    const Feed feed = GetParam();
    const std::vector<std::string> lines = CaptureLines();
    ASSERT_GT(lines.size(), 4000U);
    int flarmLines = 0;
    int refused = 0;
    for (const std::string& recorded : lines) {
        if (feed == Feed::kWithoutGga && recorded.starts_with("$GPGGA")) continue;
        const std::string line = AsFed(recorded, feed);
        SCOPED_TRACE(line);
        fix.valueMask = fix.sourceMask = 0;  // as the commit leaves them
        const NmeaLineResult result = Handle(line + "\r\n");
        ASSERT_TRUE(AllValuesFinite(fix));
        const std::vector<std::string> f = Fields(line);
        if (!EndsWithChecksum(line)) {
            EXPECT_EQ(result.type, SentenceType::kNone);
            EXPECT_EQ(fix.valueMask, 0U);
            ++refused;
            continue;
        }
        if (f[0] == "PFLAU" || f[0] == "PFLAA") {
            EXPECT_EQ(result.type, SentenceType::kNone);
            ++flarmLines;
            continue;
        }
        ASSERT_NE(result.type, SentenceType::kNone);
        if (f[0] == "GPRMC") CheckRmc(f, result.accepted);
        if (f[0] == "GPGGA") CheckGga(f, result.accepted);
        if (f[0] == "PGRMZ") CheckRmz(f, result.accepted, feed);
        if (f[0] == "GPGSA") {
            EXPECT_TRUE(result.accepted);
        }
    }
    EXPECT_EQ(refused, 2);
    EXPECT_EQ(g_flarmSentences, flarmLines);
    EXPECT_GT(positions, 400);
    EXPECT_GT(gpsAltitudes, 400);
    if (feed == Feed::kRmzTwoD) {
        EXPECT_GT(pressureAltitudes, 400);
    }
}

// The capture's bytes as stored (LF line ends), cut into sentences by the
// port's own assembler: the same fixes as with CR LF.
TEST_F(NmeaTest, TheCaptureAsStoredGivesTheSameFixesAsWithCrLf) {
    std::ifstream file(KV_SOURCE_DIR "/../shared/testdata/nmea/flarm-capture.nmea",
                       std::ios::binary);
    const std::string stored{std::istreambuf_iterator<char>(file), {}};
    ASSERT_EQ(stored.find('\r'), std::string::npos);
    const auto acceptedFixes = [this](const std::string& bytes) {
        ResetNmeaParserState();
        fix = GpsFixRecord{};
        LineAssembler lines;
        int accepted = 0;
        lines.Push(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
                   [&accepted](std::span<char> line) { accepted += HandleNmeaLine(line).accepted; });
        return accepted;
    };
    std::string crLf;
    for (const std::string& line : CaptureLines())
        crLf += line + "\r\n";
    const int fixes = acceptedFixes(stored);
    EXPECT_GT(fixes, 1000);
    EXPECT_EQ(fixes, acceptedFixes(crLf));
}

INSTANTIATE_TEST_SUITE_P(Feeds, CaptureTest,
                         ::testing::Values(Feed::kAsRecorded, Feed::kWithoutGga, Feed::kRmzTwoD),
                         [](const ::testing::TestParamInfo<Feed>& feed) {
                             switch (feed.param) {
                                 case Feed::kAsRecorded:
                                     return "AsRecorded";
                                 case Feed::kWithoutGga:
                                     return "WithoutGga";
                                 case Feed::kRmzTwoD:
                                     return "RmzTwoD";
                             }
                             return "Unknown";
                         });

}  // namespace
}  // namespace gps::testing
