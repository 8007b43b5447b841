// The GPS port's reader waiting for events, its priority, the port's
// "Performance" records and the boxes of failed port calls, against
// pseudo-terminals.
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "gps/gps_port.h"
#include "gps/port_auto_baud.h"
#include "gps/port_events.h"
#include "gps/port_properties.h"
#include "gps/tests/device/reader_harness.h"
#include "platform/settings_store.h"
#include "platform/thread_priority.h"

namespace gps::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kRmc =
    "$GPRMC,134749.60,A,4857.88170,N,00705.83929,E,35.9,270.6,281224,,,D*61\r\n";

// How often the thread tid has given up the processor of its own accord.
long VoluntarySwitches(pid_t tid) {
    std::ifstream status("/proc/self/task/" + std::to_string(tid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0) return std::stol(line.substr(24));
    }
    return -1;
}

class PortEventsTest : public GpsPortFixture {
  protected:
    // Records the reader thread's id with each sentence.
    void SetUp() override {
        GpsPortFixture::SetUp();
        GpsInputHandlers handlers = recorder.Handlers();
        handlers.line = [this, line = handlers.line](std::span<char> sentence) {
            readerTid = ::gettid();
            return line(sentence);
        };
        SetGpsInputHandlers(handlers);
    }

    std::atomic<pid_t> readerTid{0};
};

TEST_F(PortEventsTest, AReaderWaitingForEventsSleepsWhileIdleAndClosesAtOnce) {
    ASSERT_TRUE(OpenInMode(ReaderMode::kEvents));
    pty.Send(kRmc);
    ASSERT_TRUE(recorder.WaitForSentences(1, 5s));
    std::this_thread::sleep_for(50ms);  // the pass after the sentence is over

    const long before = VoluntarySwitches(readerTid);
    ASSERT_GE(before, 0);
    std::this_thread::sleep_for(2s);
    EXPECT_EQ(VoluntarySwitches(readerTid), before);  // polling would have woken 100 times

    const auto start = Clock::now();
    EXPECT_EQ(CloseGpsPort(), 1);
    EXPECT_LT(Clock::now() - start, 100ms);
    EXPECT_FALSE(GpsPortOpen());
}

TEST_F(PortEventsTest, ABaudStepWakesAReaderOnASilentPort) {
    RestartAutoBaud();
    AdvanceAutoBaudRate();  // the search stands at 4800
    ASSERT_TRUE(OpenInMode(ReaderMode::kEvents));
    std::this_thread::sleep_for(50ms);  // asleep in its wait
    RequestNextBaudRate();
    const auto deadline = Clock::now() + 100ms;
    while (g_baudRate.load() != 9600 && Clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    EXPECT_EQ(g_baudRate.load(), 9600u);

    // Sentences still arrive after the step (a pseudo-terminal ignores the
    // rate), and a changed event mask is taken up as well.
    g_useRxFlag = 1;
    SetGpsPortEventMask();
    EXPECT_EQ(GpsPortEventMask(), comm_event::kLineEvents | comm_event::kRxFlag);
    pty.Send(kRmc + kRmc);
    EXPECT_TRUE(recorder.WaitForSentences(2, 5s));
}

TEST_F(PortEventsTest, TheReaderRunsRaisedWhereThatIsAllowed) {
    bool allowed = false;
    std::thread([&] { allowed = platform::RaiseThisThreadPriority(10); }).join();
    const int base = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));

    ASSERT_TRUE(OpenInMode(ReaderMode::kPolling));
    pty.Send(kRmc);
    ASSERT_TRUE(recorder.WaitForSentences(1, 5s));
    const int reader = ::getpriority(PRIO_PROCESS, static_cast<id_t>(readerTid.load()));
    EXPECT_EQ(reader, allowed ? std::max(base - 10, -20) : base);
    EXPECT_TRUE(boxes->Boxes().empty());  // nothing said either way
}

std::uint32_t Field(const std::vector<std::uint8_t>& record, std::size_t at) {
    return record[at] | record[at + 1] << 8 | record[at + 2] << 16 |
           static_cast<std::uint32_t>(record[at + 3]) << 24;
}

TEST_F(PortEventsTest, APseudoTerminalOpensWithBothPerformanceRecords) {
    platform::AppSettings().Delete("Performance", "lastCommProp");
    platform::AppSettings().Delete("Performance", "setCommProp");
    ASSERT_TRUE(OpenInMode(ReaderMode::kPolling));
    EXPECT_TRUE(boxes->Boxes().empty());
    const auto last = platform::AppSettings().GetBinary("Performance", "lastCommProp");
    const auto set = platform::AppSettings().GetBinary("Performance", "setCommProp");
    ASSERT_TRUE(last && set);
    ASSERT_EQ(last->size(), 64u);
    ASSERT_EQ(set->size(), 64u);
    EXPECT_EQ((*last)[0] | (*last)[1] << 8, 64);  // wPacketLength
    EXPECT_EQ(Field(*last, 4), 1u);               // dwServiceMask: a serial port
    EXPECT_EQ(Field(*last, 44), 0u);              // no queues set up yet
    EXPECT_EQ(Field(*last, 48), 0u);
    EXPECT_EQ(Field(*set, 44), kGpsPortTxQueue);  // dwCurrentTxQueue
    EXPECT_EQ(Field(*set, 48), kGpsPortRxQueue);  // dwCurrentRxQueue
}

// Fails the chosen call of the port with EIO.
class FailingDevice final : public ForwardingDevice {
  public:
    enum class Call { kFirstProperties, kSecondProperties, kGetTimeouts, kSetTimeouts };

    FailingDevice(std::unique_ptr<platform::SerialDevice> port, Call failing)
        : ForwardingDevice(std::move(port)), failing_(failing) {}

    platform::PropertiesQuery QueryProperties() override {
        const Call call = looks_++ == 0 ? Call::kFirstProperties : Call::kSecondProperties;
        if (call == failing_) return {{}, EIO};
        return ForwardingDevice::QueryProperties();
    }
    platform::ReadTimeoutsResult SetReadTimeouts() override {
        using Step = platform::ReadTimeoutsResult::Step;
        if (failing_ == Call::kGetTimeouts) return {Step::kGet, EIO};
        if (failing_ == Call::kSetTimeouts) return {Step::kSet, EIO};
        return ForwardingDevice::SetReadTimeouts();
    }

  private:
    const Call failing_;
    int looks_ = 0;
};

TEST_F(PortEventsTest, FailedPortCallsAreToldAndOnlyAFailedFirstLookClosesThePort) {
    using Call = FailingDevice::Call;
    struct Case {
        Call failing;
        bool opens;
        std::vector<std::wstring> captions;  // "" is the failed-open box's own caption
    };
    const std::vector<Case> cases{
        {Call::kFirstProperties, false, {L"GetCommPropertiesError", L""}},
        {Call::kSecondProperties, true, {L"GetCommPropError on set", L""}},
        {Call::kGetTimeouts, true, {L"GetCommTimeoutsError"}},
        {Call::kSetTimeouts, true, {L"SetCommTimeoutsError"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.failing));
        boxes->Clear();
        SetGpsDeviceOpener([&](const platform::PortTarget& target, std::uint32_t rate) {
            GpsDeviceOpenResult opened = OpenGpsDevice(target, rate);
            if (opened.device)
                opened.device = std::make_unique<FailingDevice>(std::move(opened.device), c.failing);
            return opened;
        });
        const std::size_t before = recorder.Sentences().size();
        EXPECT_EQ(OpenInMode(ReaderMode::kEvents), c.opens);
        EXPECT_EQ(GpsPortOpen(), c.opens);
        if (c.opens) {
            // The reader runs on.
            pty.Send(kRmc);
            EXPECT_TRUE(recorder.WaitForSentences(before + 1, 5s));
        }
        const auto shown = boxes->Boxes();
        ASSERT_EQ(shown.size(), c.captions.size());
        EXPECT_EQ(shown[0].caption, c.captions[0]);
        EXPECT_NE(shown[0].text.find(L"Input/output error"), std::wstring::npos);
        CloseGpsPort();
    }
}

}  // namespace
}  // namespace gps::testing
