// Opening and closing the flight log: the header, the dialog's answers,
// the questions asked without the log's lock, and the closing records.
#include "recorder/flight_log_file.h"

#include <future>
#include <sstream>
#include <thread>

#include "platform/message_box.h"
#include "recorder/igc_records.h"
#include "recorder/settings_values.h"
#include "recorder/tests/recorder_test_support.h"

namespace recorder::testing {
namespace {

using namespace std::chrono_literals;

// Answers every box through a function.
class CallbackSink final : public platform::MessageBoxSink {
  public:
    using Callback = std::function<int(std::wstring_view text, unsigned style)>;
    explicit CallbackSink(Callback callback) : callback_(std::move(callback)) {}
    int Show(void*, std::wstring_view text, std::wstring_view, unsigned style) override {
        texts.emplace_back(text);
        return callback_(text, style);
    }
    std::vector<std::wstring> texts;

  private:
    Callback callback_;
};

class FlightLogFileTest : public RecorderTest {
  protected:
    void TearDown() override {
        RecorderTest::TearDown();
        platform::SetMessageBoxSink(nullptr);
        g_diskWarning = 1000;
    }
    std::shared_ptr<CallbackSink> Boxes(CallbackSink::Callback callback) {
        auto sink = std::make_shared<CallbackSink>(std::move(callback));
        platform::SetMessageBoxSink(sink);
        return sink;
    }
    // The lines of the log.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::istringstream in(Log());
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
};

TEST_F(FlightLogFileTest, AnIgcLogOpensWithItsHeaderAndClosesWithItsDigest) {
    core::g_logDataOn = 2;
    core::g_logInterval = 0;
    ASSERT_EQ(StartFlightLog(0, 0), LogStart::kOpened);
    EXPECT_EQ(lastRequest_.name, L"4CVXQ7Z1.igc");
    EXPECT_EQ(lastRequest_.defaultExtension, L"igc");
    EXPECT_EQ(lastRequest_.filterIndex, 2);
    EXPECT_EQ(core::g_logDataOn.load(), 1);
    EXPECT_EQ(platform::AppSettings().GetInt("Options\\Logging", "LogDataOn", 0), 1U);
    EXPECT_EQ(core::g_logInterval.load(), 2);  // for this log only
    EXPECT_EQ(platform::AppSettings().GetInt("Options\\Logging", "LogInterval", 7), 7U);
    CloseFlightLog();

    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 16U);
    EXPECT_EQ(lines[0], "AXKVQ7Z KOR_VAN_WinCE\r");
    EXPECT_EQ(lines[1], "HFDTE311224\r");
    EXPECT_EQ(lines[2], "HFFXA010\r");
    EXPECT_EQ(lines[12], "I013638FXA\r");
    EXPECT_TRUE(lines[13].starts_with("LXKV KOR_VAN WinCE "));
    // The digest of every line before the G records, seeded from the clock.
    core::IgcDigest digest;
    digest.Start(1);
    for (std::size_t i = 0; i < 14; ++i)
        digest.Fold(lines[i]);
    const auto g = IgcSecurityLines(digest);
    EXPECT_EQ(lines[14] + "\n", g[0]);
    EXPECT_EQ(lines[15] + "\n", g[1]);
}

TEST_F(FlightLogFileTest, TheReceiversDateWhenItHasOne) {
    ASSERT_TRUE(gps::testing::Receive(gps::testing::Sentence(
        "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W")));
    ASSERT_EQ(StartFlightLog(1, 1), LogStart::kOpened);
    EXPECT_EQ(Log(), "AXKVQ7Z KOR_VAN_WinCE\r\nHFDTE230394\r\n");
}

TEST_F(FlightLogFileTest, TheFilterChoosesTheFormat) {
    Answer("flight.gps", 1);
    const unsigned errorCountsEpoch = core::g_serialErrorCountsEpoch.load();
    ASSERT_EQ(StartFlightLog(0, 0), LogStart::kOpened);
    EXPECT_NE(core::g_serialErrorCountsEpoch.load(), errorCountsEpoch);  // counts cleared
    EXPECT_EQ(core::g_logFormat.load(), 0);
    EXPECT_EQ(platform::AppSettings().GetInt("Options\\Logging", "LogFormat", 9), 0U);
    CloseFlightLog();
    EXPECT_EQ(Log().substr(0, 30), "KOR_VAN WinCE log data\r\nType, ");
    EXPECT_EQ(Log().find("G17"), std::string::npos);

    Answer("flight.any", 3);  // all files: the format stays
    ASSERT_EQ(StartFlightLog(0, 0), LogStart::kOpened);
    EXPECT_EQ(lastRequest_.name, L"241231-1.gps");
    EXPECT_EQ(lastRequest_.filterIndex, 1);
    EXPECT_EQ(core::g_logFormat.load(), 0);
    EXPECT_EQ(platform::AppSettings().GetString("Options\\Logging", "Directory", ""),
              (folder_.Path() / "").string());
}

TEST_F(FlightLogFileTest, ANameTypedWithoutExtensionGetsTheFormatsOne) {
    Answer("flight", 2);
    ASSERT_EQ(StartFlightLog(0, 0), LogStart::kOpened);
    CloseFlightLog();
    path_ = folder_ / "flight.igc";
    EXPECT_TRUE(Log().starts_with("AXKV")) << "no IGC log at " << path_;
    EXPECT_EQ(g_strLogPath.Get(), path_.wstring());
}

TEST_F(FlightLogFileTest, ADeclarationLogStopsAfterTheDate) {
    ASSERT_EQ(StartFlightLog(1, 1), LogStart::kOpened);
    EXPECT_EQ(Log(), "AXKVQ7Z KOR_VAN_WinCE\r\nHFDTE311224\r\n");
}

TEST_F(FlightLogFileTest, AnExistingFileIsEmptiedOrAppendedTo) {
    for (const int answer :
         {static_cast<int>(platform::kIdYes), static_cast<int>(platform::kIdNo)}) {
        folder_.Write("flight.igc", "old line\r\n");
        const auto sink = Boxes([answer](std::wstring_view, unsigned) { return answer; });
        ASSERT_EQ(StartFlightLog(0, 0), LogStart::kOpened);
        EXPECT_EQ(sink->texts.size(), 1U);
        CloseFlightLog();
        const std::vector<std::string> lines = Lines();
        EXPECT_EQ(lines[0] == "old line\r", answer == platform::kIdNo);
        // An appended log's digest covers only its own lines.
        core::IgcDigest digest;
        digest.Start(1);
        const std::size_t first = answer == platform::kIdNo ? 1 : 0;
        for (std::size_t i = first; i + 2 < lines.size(); ++i)
            digest.Fold(lines[i]);
        EXPECT_EQ(lines.back() + "\n", IgcSecurityLines(digest)[1]);
    }
}

TEST_F(FlightLogFileTest, TheReaderGoesOnWhileTheQuestionIsOpen) {
    folder_.Write("flight.igc", "old line\r\n");
    // An open log, so the reader's per-fix writer takes the log's lock.
    Answer("earlier.igc", 2);
    ASSERT_EQ(StartFlightLog(0, 0), LogStart::kOpened);
    Answer("flight.igc", 2);
    bool committed = false;
    Boxes([&committed](std::wstring_view, unsigned style) {
        if ((style & platform::mb::kButtonMask) != platform::mb::kYesNo) return 1;
        auto reader = std::async(std::launch::async, [] {
            return gps::testing::Receive(gps::testing::Sentence(
                "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W"));
        });
        committed = reader.wait_for(10s) == std::future_status::ready && reader.get();
        return static_cast<int>(platform::kIdNo);
    });
    ASSERT_EQ(StartFlightLog(0, 0), LogStart::kOpened);
    EXPECT_TRUE(committed);
}

TEST_F(FlightLogFileTest, CancelAndFailures) {
    ASSERT_EQ(StartFlightLog(0, 0), LogStart::kOpened);
    SetLogSaveDialog(nullptr);  // cancelled
    const auto sink =
        Boxes([](std::wstring_view, unsigned) { return static_cast<int>(platform::kIdNo); });
    EXPECT_EQ(StartFlightLog(0, 0), LogStart::kCancelled);
    EXPECT_TRUE(core::g_hFlightLog.IsOpen());  // "no" keeps it
    Boxes([](std::wstring_view, unsigned) { return static_cast<int>(platform::kIdYes); });
    EXPECT_EQ(StartFlightLog(0, 0), LogStart::kCancelled);
    EXPECT_FALSE(core::g_hFlightLog.IsOpen());
    EXPECT_NE(Log().find("\r\nG17"), std::string::npos);

    Answer("missing/flight.igc", 2);
    const auto failed = Boxes([](std::wstring_view, unsigned) { return 1; });
    EXPECT_EQ(StartFlightLog(0, 0), LogStart::kNotCreated);
    EXPECT_EQ(failed->texts.size(), 1U);
    EXPECT_FALSE(core::g_hFlightLog.IsOpen());

    g_diskWarning = 2000000000;
    Answer("fresh.igc", 2);
    const auto warned = Boxes([](std::wstring_view, unsigned) { return 1; });
    EXPECT_EQ(StartFlightLog(0, 0), LogStart::kOpened);
    ASSERT_EQ(warned->texts.size(), 1U);
    EXPECT_TRUE(core::g_hFlightLog.IsOpen());
}

}  // namespace
}  // namespace recorder::testing
