// A process killed (SIGKILL) while it logs leaves a log whose every line
// but possibly the last is whole: lines reach the disk one by one.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <thread>

#include "recorder/tests/recorder_test_support.h"

namespace recorder::testing {
namespace {

using namespace std::chrono_literals;

class FlightLogKillTest : public RecorderTest {};

// The child's work: log the same flight over and over until it is killed.
// A header line, an F record, or a B record of the writer's 38 bytes.
bool WholeLine(const std::string& text) {
    if (text.empty()) return false;
    const auto digits = [&text](std::size_t from, std::size_t count) {
        for (std::size_t i = from; i < from + count; ++i) {
            if (std::isdigit(static_cast<unsigned char>(text[i])) == 0) return false;
        }
        return true;
    };
    switch (text[0]) {
        case 'A':
        case 'H':
        case 'I':
            return true;
        case 'F':
            return text.size() >= 7 && digits(1, text.size() - 1);
        case 'B':
            return text.size() == 38 && digits(1, 13) && (text[14] == 'N' || text[14] == 'S') &&
                   digits(15, 8) && (text[23] == 'E' || text[23] == 'W') && text[24] == 'A' &&
                   digits(25, 13);
        default:
            return false;
    }
}

[[noreturn]] void LogForever(const gps::testing::FlightScript& script) {
    if (StartFlightLog(0, 0) != LogStart::kOpened) ::_exit(2);
    for (;;) {
        for (const gps::testing::ScriptedFix& fix : script.Fixes()) {
            gps::testing::Receive(fix.gga);
            gps::testing::Receive(fix.rmc);
        }
    }
}

TEST_F(FlightLogKillTest, EveryLineBeforeTheLastIsWhole) {
    gps::testing::FlightScript script(36000, 47.0, 8.0);
    script.Straight(300, 45.0, 60.0);
    std::size_t fixLines = 0;
    for (const auto wait : {300ms, 1000ms, 2500ms}) {
        Answer("killed" + std::to_string(wait.count()) + ".igc", 2);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) LogForever(script);
        std::this_thread::sleep_for(wait);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself: " << status;

        const std::string log = Log();
        std::size_t start = 0;
        std::size_t whole = 0;
        for (std::size_t end = log.find("\r\n"); end != std::string::npos;
             start = end + 2, end = log.find("\r\n", start)) {
            const std::string text = log.substr(start, end - start);
            EXPECT_TRUE(WholeLine(text)) << text;
            ++whole;
            if (text.starts_with('B')) ++fixLines;
        }
        EXPECT_GE(whole, 2U) << wait.count() << " ms";
        EXPECT_LT(log.size() - start, 40U);  // at most the line being written
    }
    EXPECT_GT(fixLines, 0U);
}

}  // namespace
}  // namespace recorder::testing
