// The declare-task command with its windows played by the test.
#include "recorder/task_declaration.h"

#include <sstream>

#include "nav/destination_queue.h"
#include "platform/message_box.h"
#include "recorder/tests/recorder_test_support.h"
#include "services/string_resources.h"

namespace recorder::testing {
namespace {

class TaskDeclarationTest : public RecorderTest {
  protected:
    void SetUp() override {
        RecorderTest::SetUp();
        nav::g_taskNavigationActive = 1;
        steps_.selectTask = [this](int mode) {
            selections_.push_back(mode);
            return 1;
        };
        steps_.currentTask = [this] { return &task_; };
        steps_.headerDialog = [] {
            return std::optional<std::vector<std::wstring>>(
                {L"HFGPS: uBlox\r\n", L"", L"HFCIDCOMPETITION ID: A,B\r\n", L"", L"",
                 L"HOSECOOSECURITYPHRASE: 16@A\r\n"});
        };
        steps_.confirm = [this] { return ++confirmations_ > 1; };
        steps_.startLog = [] { return StartFlightLog(1, 1); };
    }
    void TearDown() override {
        nav::g_taskNavigationActive = 0;
        RecorderTest::TearDown();
    }
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::istringstream in(Log());
        for (std::string line; std::getline(in, line);)
            lines.push_back(line.substr(0, line.size() - 1));
        return lines;
    }

    DeclarationSteps steps_;
    nav::CTask task_ = TaskOf(5);
    std::vector<int> selections_;
    int confirmations_ = 0;
    platform::ScopedRecordingSink boxes_;
};

TEST_F(TaskDeclarationTest, ALogWithTheHeaderLinesAndTwoDeclaredTasks) {
    core::g_logInterval = 0;
    DeclareTask(steps_);
    EXPECT_EQ(selections_, (std::vector<int>{1, 0}));
    EXPECT_EQ(core::g_logInterval.load(), 1);
    EXPECT_EQ(core::g_logFormat.load(), 1);
    CloseFlightLog();

    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 31U);
    EXPECT_EQ(lines[0], "AXKVQ7Z KOR_VAN_WinCE");
    EXPECT_EQ(lines[2], "HFFXA010");
    EXPECT_EQ(lines[12], "HFCIDCOMPETITION ID: A B");
    EXPECT_EQ(lines[13], "HOSECOOSECURITYPHRASE: 16@A");
    EXPECT_EQ(lines[14], "I013638FXA");
    EXPECT_EQ(lines[15], "C311224235000000000000101");
    EXPECT_EQ(lines[21], "C311224235000000000000201");
    EXPECT_EQ(lines[27], "LXKV Preferred file name: 4CVXQ7Z1");
    // The observer's line is written but not digested.
    core::IgcDigest digest;
    digest.Start(1);
    for (std::size_t i = 0; i + 2 < lines.size(); ++i) {
        if (i != 13) digest.Fold(lines[i]);
    }
    EXPECT_EQ(lines.back() + "\r\n", IgcSecurityLines(digest)[1]);
    EXPECT_TRUE(boxes_->Boxes().empty());
}

TEST_F(TaskDeclarationTest, TooFewPointsAndATextLogAreAskedAgain) {
    nav::CTask small = TaskOf(3);
    const nav::CTask* current = &small;
    steps_.currentTask = [&current] { return current; };
    steps_.selectTask = [&](int) {
        if (!selections_.empty()) current = &task_;
        selections_.push_back(1);
        return 1;
    };
    int opened = 0;
    steps_.startLog = [&] {
        const bool first = opened++ == 0;
        Answer(first ? "first.gps" : "second.igc", first ? 1 : 2);
        return StartFlightLog(1, 1);
    };
    DeclareTask(steps_);
    EXPECT_EQ(opened, 2);
    const auto boxes = boxes_->Boxes();
    ASSERT_EQ(boxes.size(), 2U);
    EXPECT_EQ(boxes[0].text, core::LoadResourceString(2057));
    EXPECT_EQ(boxes[1].text, core::LoadResourceString(2045));
    EXPECT_EQ(core::g_logFormat.load(), 1);
    EXPECT_TRUE(Log().starts_with("AXKVQ7Z"));
}

TEST_F(TaskDeclarationTest, ACancelledLogRestoresTheSettings) {
    core::g_logInterval = 3;
    core::g_logFormat = 0;
    steps_.startLog = [] { return LogStart::kCancelled; };
    DeclareTask(steps_);
    EXPECT_EQ(core::g_logInterval.load(), 3);
    EXPECT_EQ(core::g_logFormat.load(), 0);
    EXPECT_FALSE(core::g_hFlightLog.IsOpen());
    EXPECT_EQ(confirmations_, 0);

    steps_.headerDialog = [] { return std::nullopt; };  // the dialog cancelled
    steps_.startLog = [] {
        ADD_FAILURE() << "no log without the header";
        return LogStart::kCancelled;
    };
    DeclareTask(steps_);
}

TEST(LoggerPortNumberTest, TheTrailingNumberOfTheDeviceName) {
    EXPECT_EQ(LoggerPortNumber(L"/dev/ttyUSB1"), 1);
    EXPECT_EQ(LoggerPortNumber(L"/dev/ttyS12"), 12);
    EXPECT_EQ(LoggerPortNumber(L"COM3:"), 3);
    EXPECT_EQ(LoggerPortNumber(L"/dev/rfcomm"), 0);
}

}  // namespace
}  // namespace recorder::testing
