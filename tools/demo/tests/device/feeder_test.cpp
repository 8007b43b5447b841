// The feeder program on a real pseudo-terminal: what arrives, at what pace,
// after the end of the file, and how it ends.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/unique_fd.h"
#include "testing/scratch_folder.h"
#include "tools/demo/flight_path.h"
#include "tools/flight_text/sentence_epochs.h"

namespace demo {
namespace {

using flight_text::ChecksumValid;
using flight_text::Epoch;
using flight_text::SplitEpochs;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kEpochs = 40;

// Forty seconds of the tow, where every fix differs from the one before.
std::string TowSentences() {
    Flight part;
    const Flight& all = []() -> const Flight& {
        static const Flight flight = FlyDemoFlight();
        return flight;
    }();
    part.samples.assign(all.samples.begin() + 300, all.samples.begin() + 300 + kEpochs);
    return FlightSentences(part);
}

class FeederProcess {
  public:
    explicit FeederProcess(std::vector<std::string> args) {
        pid_ = ::fork();
        if (pid_ == 0) {
            std::vector<char*> argv;
            static std::string program = std::string(KV_BINARY_DIR) + "/demo_feeder";
            argv.push_back(program.data());
            for (std::string& arg : args) argv.push_back(arg.data());
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
    }
    ~FeederProcess() {
        if (!status_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    pid_t Pid() const { return pid_; }
    // The exit status, waiting at most `limit`; nothing while it runs.
    std::optional<int> Wait(std::chrono::milliseconds limit) {
        const auto end = Clock::now() + limit;
        while (!status_ && Clock::now() < end) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_)
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            else
                std::this_thread::sleep_for(10ms);
        }
        return status_;
    }

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// The reading end, as the flight computer opens its port.
class Receiver {
  public:
    explicit Receiver(const fs::path& link) {
        const auto end = Clock::now() + 5s;
        while (!fs::exists(link) && Clock::now() < end) std::this_thread::sleep_for(10ms);
        fd_.Reset(::open(link.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK));
        termios raw{};
        if (fd_.Valid() && ::tcgetattr(fd_.Get(), &raw) == 0) {
            ::cfmakeraw(&raw);
            ::tcsetattr(fd_.Get(), TCSANOW, &raw);
        }
    }
    bool Valid() const { return fd_.Valid(); }

    struct Line {
        std::string text;
        double seconds;  // arrival, since the receiver opened
    };
    // Lines arriving within `wait`.
    std::vector<Line> Read(std::chrono::milliseconds wait) {
        std::vector<Line> lines;
        const auto end = Clock::now() + wait;
        while (Clock::now() < end) {
            pollfd entry{fd_.Get(), POLLIN, 0};
            if (::poll(&entry, 1, 20) <= 0) continue;
            char buffer[512];
            const ssize_t n = ::read(fd_.Get(), buffer, sizeof buffer);
            if (n <= 0) continue;
            const double at = std::chrono::duration<double>(Clock::now() - opened_).count();
            for (ssize_t i = 0; i < n; ++i) {
                if (buffer[i] == '\n') {
                    if (!pending_.empty() && pending_.back() == '\r') pending_.pop_back();
                    lines.push_back({pending_, at});
                    pending_.clear();
                } else {
                    pending_ += buffer[i];
                }
            }
        }
        return lines;
    }

  private:
    platform::UniqueFd fd_;
    std::string pending_;
    Clock::time_point opened_ = Clock::now();
};

std::vector<Receiver::Line> OfType(const std::vector<Receiver::Line>& lines, const char* type) {
    std::vector<Receiver::Line> found;
    for (const auto& line : lines)
        if (line.text.starts_with(type)) found.push_back(line);
    return found;
}

TEST(DemoFeeder, PlaysAtTenTimesRealTimeThenStandsAndEndsOnTerminate) {
    const test_support::ScratchFolder folder("feeder");
    const std::string text = TowSentences();
    const fs::path file = folder.Write("tow.nmea", text);
    const fs::path link = folder / "gps";
    FeederProcess feeder({"--link", link.string(), "--speed", "10", "--keep-times", file.string()});
    Receiver receiver(link);
    ASSERT_TRUE(receiver.Valid());
    const std::vector<Receiver::Line> lines = receiver.Read(kEpochs * 100ms + 2600ms);

    // Checksums, and the file's own sentences in its order.
    std::vector<std::string> expected;
    for (const Epoch& epoch : SplitEpochs(text))
        for (const std::string& line : epoch.lines) expected.push_back(line);
    ASSERT_GE(lines.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i].text, expected[i]) << i;
    for (const auto& line : lines) EXPECT_TRUE(ChecksumValid(line.text)) << line.text;

    // About ten fixes a second (the first few may wait in the queue).
    const auto fixes = OfType(lines, "$GPRMC");
    ASSERT_GE(fixes.size(), static_cast<std::size_t>(kEpochs + 2));
    double sum = 0.0, sumSquares = 0.0, worst = 0.0;
    int count = 0;
    for (int i = 6; i < kEpochs; ++i) {
        const double interval = fixes[i].seconds - fixes[i - 1].seconds;
        sum += interval;
        sumSquares += interval * interval;
        worst = std::max(worst, std::fabs(interval - 0.1));
        ++count;
    }
    const double mean = sum / count;
    const double jitter = std::sqrt(std::max(0.0, sumSquares / count - mean * mean));
    std::printf("feeder at speed 10: mean interval %.4f s, jitter (sd) %.4f s, worst %.4f s\n",
                mean, jitter, worst);
    RecordProperty("jitter_ms", std::to_string(jitter * 1000.0));
    EXPECT_NEAR(mean, 0.1, 0.01);
    EXPECT_LT(worst, 0.06);

    // Then the last fix again once a second, its time running on.
    const auto last = SplitEpochs(text).back();
    ASSERT_GE(fixes.size(), static_cast<std::size_t>(kEpochs + 2));
    const auto& standing = fixes[kEpochs];
    EXPECT_NEAR(fixes[kEpochs + 1].seconds - standing.seconds, 1.0, 0.1);
    const std::vector<Epoch> after = SplitEpochs(standing.text + "\n" + fixes[kEpochs + 1].text);
    EXPECT_EQ(*after[0].utc, *last.utc + 1);
    EXPECT_EQ(*after[1].utc, *last.utc + 2);
    // Same place, standing still.
    EXPECT_EQ(standing.text.substr(16, 27), last.lines[1].substr(16, 27));
    EXPECT_EQ(standing.text.substr(43, 6), ",0.00,");

    ::kill(feeder.Pid(), SIGTERM);
    EXPECT_EQ(feeder.Wait(2s), 0);
    EXPECT_FALSE(fs::is_symlink(link));
}

TEST(DemoFeeder, HoldsOnTheFieldUntilALogDeclaresATask) {
    const test_support::ScratchFolder folder("feeder");
    const std::string text = TowSentences();
    const fs::path file = folder.Write("tow.nmea", text);
    const fs::path link = folder / "gps";
    folder.Write("documents/start.igc", "AXKV000 KOR_VAN_WinCE\r\nHFDTE010125\r\n");
    FeederProcess feeder({"--link", link.string(), "--speed", "10", "--keep-times", "--hold-for",
                          (folder / "documents").string(), file.string()});
    Receiver receiver(link);
    ASSERT_TRUE(receiver.Valid());
    const Epoch first = SplitEpochs(text).front();

    // Standing on the first fix's place, once a second, its time running on.
    const auto held = OfType(receiver.Read(2500ms), "$GPRMC");
    ASSERT_GE(held.size(), 2U);
    for (const auto& fix : held) {
        EXPECT_EQ(fix.text.substr(16, 27), first.lines[1].substr(16, 27));
        EXPECT_EQ(fix.text.substr(43, 6), ",0.00,");
    }
    const auto heldEpochs = SplitEpochs(held[0].text + "\n" + held[1].text);
    EXPECT_EQ(*heldEpochs[0].utc, *first.utc);
    EXPECT_EQ(*heldEpochs[1].utc, *first.utc + 1);

    // The declaration's C records release it: the flight plays on in time.
    folder.Write("documents/start.igc", "AXKV000 KOR_VAN_WinCE\r\nC010125120000000000000002\r\n");
    const auto played = OfType(receiver.Read(2500ms), "$GPRMC");
    ASSERT_GE(played.size(), 10U);
    EXPECT_NE(played.back().text.substr(43, 6), ",0.00,");
    const auto last = SplitEpochs(played.back().text);
    EXPECT_GT(*last[0].utc, *first.utc + static_cast<long long>(held.size()));
    ::kill(feeder.Pid(), SIGTERM);
    EXPECT_EQ(feeder.Wait(2s), 0);
}

TEST(DemoFeeder, ShiftsTimesToThePresent) {
    const test_support::ScratchFolder folder("feeder");
    const fs::path file = folder.Write("tow.nmea", TowSentences());
    const fs::path link = folder / "gps";
    FeederProcess feeder({"--link", link.string(), "--speed", "5", file.string()});
    Receiver receiver(link);
    ASSERT_TRUE(receiver.Valid());
    const auto lines = receiver.Read(1s);
    const auto fixes = OfType(lines, "$GPRMC");
    ASSERT_GE(fixes.size(), 3U);
    for (const auto& line : lines) EXPECT_TRUE(ChecksumValid(line.text)) << line.text;
    const std::vector<Epoch> epochs = SplitEpochs(fixes[0].text + "\n" + fixes[1].text);
    ASSERT_TRUE(epochs[0].utc);
    EXPECT_NEAR(static_cast<double>(*epochs[0].utc), static_cast<double>(std::time(nullptr)), 3.0);
    EXPECT_EQ(*epochs[1].utc, *epochs[0].utc + 1);
    ::kill(feeder.Pid(), SIGTERM);
    EXPECT_EQ(feeder.Wait(2s), 0);
}

TEST(DemoFeeder, EndsWhenTheWatchedProgramHasGone) {
    const test_support::ScratchFolder folder("feeder");
    const fs::path file = folder.Write("tow.nmea", TowSentences());
    const pid_t program = ::fork();
    if (program == 0) {
        std::this_thread::sleep_for(500ms);
        ::_exit(0);
    }
    FeederProcess feeder({"--link", (folder / "gps").string(), "--watch", std::to_string(program),
                          file.string()});
    ::waitpid(program, nullptr, 0);  // gone, and reaped
    EXPECT_EQ(feeder.Wait(3s), 0);
}

TEST(DemoFeeder, RefusesAFileWithoutSentences) {
    const test_support::ScratchFolder folder("feeder");
    const fs::path file = folder.Write("empty.nmea", "");
    FeederProcess feeder({"--link", (folder / "gps").string(), file.string()});
    EXPECT_EQ(feeder.Wait(3s), 1);
}

}  // namespace
}  // namespace demo
