// The whole fix path against a pseudo-terminal: the test plays the
// receiver; the real port reader parses, logs and commits, and the real
// fix-processing thread publishes.
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "fix/fix_processing_thread.h"
#include "fix/tests/fix_test_support.h"
#include "gps/gps_port.h"
#include "gps/port_reader.h"
#include "platform/message_box.h"
#include "testing/pseudo_terminal.h"
#include "platform/ui_post.h"
#include "platform/utf.h"

namespace gps::testing {
namespace {

using namespace std::chrono_literals;
using Record = platform::RecordingUiPostBackend::Record;

class FixPtyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Valid());
        StartFromLoad();  // also makes the reader's step the log and commit
        g_baudRate = 4800;
        g_autoBaud = 0;
        logPath_ = ::testing::TempDir() + "kv_fix_pty_log_XXXXXX";
        const int fd = ::mkstemp(logPath_.data());
        ASSERT_GE(fd, 0);
        const platform::CriticalSectionLock lock(core::LogFileLock);
        core::g_hFlightLog.Attach(platform::UniqueFd(fd));
        core::g_igcDigest.Start(0);
    }
    void TearDown() override {
        CloseGpsPort();
        StopFixProcessing(2000);
        SetGpsInputHandlers({});
        const platform::CriticalSectionLock lock(core::LogFileLock);
        core::g_hFlightLog.Close();
        ::unlink(logPath_.c_str());
    }

    std::vector<std::string> LogLines() const {
        const platform::CriticalSectionLock lock(core::LogFileLock);
        std::ifstream in(logPath_, std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    platform::ScopedRecordingSink boxes;
    platform::ScopedRecordingUiPost posts;
    test_support::PseudoTerminal pty;
    std::string logPath_;
};

TEST_F(FixPtyTest, AScriptedFlightAcrossMidnightIsPublishedAndLoggedWithoutLoss) {
    ASSERT_TRUE(StartFixProcessing());
    ASSERT_TRUE(OpenGpsPort(platform::FromUtf8(pty.Path())));

    // The receiver writes each second's sentences in pieces split anywhere.
    const FlightScript script = MidnightFlight();
    std::mt19937 random(11);
    for (const ScriptedFix& fix : script.Fixes()) {
        const std::string second = fix.rmc + fix.gga;
        for (std::size_t at = 0; at < second.size();) {
            const std::size_t piece = std::uniform_int_distribution<std::size_t>(1, 90)(random);
            pty.Send(std::string_view(second).substr(at, piece));
            at += piece;
        }
        std::this_thread::sleep_for(1ms);
    }

    // Every RMC after the first two made its B record: none was lost.
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (LogLines().size() < 128 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    const std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 128U);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int s = script.Fixes()[i + 2].secondOfDay % 86400;
        EXPECT_EQ(lines[i].substr(0, 7),
                  platform::FormatC("B%02d%02d%02d", s / 3600, s / 60 % 60, s % 60));
    }

    // The last fix is published, on the next day. Its time is the one value
    // no earlier fix had (the altitude stays level on the last leg).
    const ScriptedFix& last = script.Fixes().back();
    constexpr float kLastTime = 24.0F + 40.0F / 3600.0F;
    while (std::abs(CurrentNav()->fixTimeHours - kLastTime) > 1e-5F &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_NEAR(CurrentNav()->fixTimeHours, kLastTime, 1e-5);
    EXPECT_NEAR(CurrentNav()->latRad, last.latitudeDeg * std::numbers::pi / 180.0, 5e-9);
    EXPECT_NEAR(CurrentNav()->lonRad, -last.lonEastDeg * std::numbers::pi / 180.0, 5e-9);

    std::vector<Record> circling;
    int firstFixSends = 0;
    for (const Record& r : posts->Records()) {
        if (r.window == platform::kPosViewWindow && r.message == platform::WM_APP_CIRCLING)
            circling.push_back(r);
        if (r.message == platform::WM_USER_MAPFIXCOMMIT) ++firstFixSends;
    }
    EXPECT_EQ(circling, (std::vector<Record>{
                            {platform::kPosViewWindow, platform::WM_APP_CIRCLING, 0, 1, false},
                            {platform::kPosViewWindow, platform::WM_APP_CIRCLING, 0, 0, false}}));
    EXPECT_EQ(firstFixSends, 1);
    EXPECT_TRUE(boxes->Boxes().empty());
}

}  // namespace
}  // namespace gps::testing
