// A scripted flight through the start of the log, a declaration, the
// per-fix writer and the close, compared byte for byte with a reviewed
// file; and the same file read by an independent IGC reader.
//
// KV_UPDATE_GOLDEN=1 rewrites the reviewed file (review the difference).
#include <sys/wait.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>

#include "gps/flight_log_records.h"
#include "recorder/tests/recorder_test_support.h"

namespace recorder::testing {
namespace {

const std::filesystem::path kGolden =
    std::filesystem::path(KV_SOURCE_DIR) / "recorder/tests/data/midnight_flight.igc";

class GoldenFlightTest : public RecorderTest {
  protected:
    // The midnight flight with a GSA, a pilot name that needs the filter,
    // and a declared task of 5 points.
    std::string Fly() {
        platform::SettingsStore& settings = platform::AppSettings();
        settings.WriteString("IGCHeaders", "PLT", std::wstring_view(L"Jos\u00e9 M\uff41ller,*"));
        settings.WriteString("IGCHeaders", "GID", std::wstring_view(L"D-1234"));
        EXPECT_EQ(StartFlightLog(0, 0), LogStart::kOpened);
        const nav::CTask task = TaskOf(5);
        EXPECT_EQ(WriteTaskDeclaration(task, 1), 1);
        EXPECT_TRUE(gps::testing::Receive(
            gps::testing::Sentence("GPGSA,A,3,05,7,12,,,,,,,,,,2.5,1.3,2.1")));
        for (const gps::testing::ScriptedFix& fix : script_.Fixes()) {
            // The GGA first: the line the RMC's position makes carries the
            // altitude of its own second.
            gps::testing::Receive(fix.gga);
            gps::testing::Receive(fix.rmc);
        }
        CloseFlightLog();
        return Log();
    }

    gps::testing::FlightScript script_ = gps::testing::MidnightFlight();
};

TEST_F(GoldenFlightTest, TheLogEqualsTheReviewedFile) {
    const std::string log = Fly();
    if (std::getenv("KV_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(kGolden, std::ios::binary) << log;
    }
    EXPECT_EQ(log, FileText(kGolden));
}

// Runs the npm package igc-parser (strict) over the file; one line per fix:
// "hh:mm:ss lat lon pressure gnss".
std::optional<std::string> ParseWithIgcParser(const std::filesystem::path& file) {
    const std::filesystem::path script =
        std::filesystem::path(KV_SOURCE_DIR) / "recorder/tests/igc_parser_check.js";
    const std::string command = "NODE_PATH='" KV_SOURCE_DIR "/build/npm/node_modules' node '" +
                                script.string() + "' '" + file.string() + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    std::string output;
    std::array<char, 4096> buffer{};
    while (const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe))
        output.append(buffer.data(), got);
    const int status = ::pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
    return output;
}

TEST_F(GoldenFlightTest, AnIndependentReaderReadsEveryFixAsFlown) {
    if (std::system("node --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "node is not installed: the independent IGC reader cannot run";
    Fly();
    const std::optional<std::string> parsed = ParseWithIgcParser(path_);
    ASSERT_TRUE(parsed);
    std::map<int, const gps::testing::ScriptedFix*> bySecond;
    for (const gps::testing::ScriptedFix& fix : script_.Fixes())
        bySecond[fix.secondOfDay % 86400] = &fix;
    std::istringstream lines(*parsed);
    std::size_t count = 0;
    int previous = -1;
    for (std::string line; std::getline(lines, line); ++count) {
        int h = 0, m = 0, s = 0;
        double latitude = 0, longitude = 0, pressure = 0, gnss = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "%d:%d:%d %lf %lf %lf %lf", &h, &m, &s, &latitude,
                              &longitude, &pressure, &gnss),
                  7)
            << line;
        const auto found = bySecond.find(h * 3600 + m * 60 + s);
        ASSERT_NE(found, bySecond.end()) << line;
        const gps::testing::ScriptedFix& fix = *found->second;
        EXPECT_GT(fix.secondOfDay, previous) << line;  // in order, across midnight
        previous = fix.secondOfDay;
        // Thousandths of a minute: 1/60000 degree.
        EXPECT_NEAR(latitude, fix.latitudeDeg, 1.0 / 60000.0) << line;
        EXPECT_NEAR(longitude, fix.lonEastDeg, 1.0 / 60000.0) << line;
        EXPECT_NEAR(gnss, fix.altitudeM, 0.5) << line;
        EXPECT_EQ(pressure, gnss) << line;  // no pressure altitude: the GNSS one twice
    }
    // Every fix but the first two position sentences' (the RMC and GGA of
    // the first second, and the RMC of the second).
    EXPECT_EQ(count, script_.Fixes().size() - 2);
}

}  // namespace
}  // namespace recorder::testing
