// The GPS port and its reader thread against pseudo-terminals: the test
// plays the instrument on the master side.
#include "gps/port_reader.h"

#include <sys/resource.h>

#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "gps/gps_port.h"
#include "gps/port_auto_baud.h"
#include "gps/port_dialog_feed.h"
#include "gps/raw_capture.h"
#include "gps/settings_values.h"
#include "gps/tests/device/reader_harness.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/ui_post.h"
#include "platform/utf.h"
#include "services/module_services.h"
#include "services/string_resources.h"
#include "testing/pseudo_terminal.h"
#include "testing/scratch_folder.h"

namespace gps::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test_support::PseudoTerminal;

std::string Sentence(std::string_view body) {
    unsigned sum = 0;
    for (const char c : body)
        sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + std::string(body) + tail;
}

double ProcessCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

using PortReaderTest = GpsPortFixture;

class FlightInBothModes : public GpsPortFixture,
                          public ::testing::WithParamInterface<ReaderMode> {};

// Polling or waiting for events (with or without "UseRxFlag"), the reader
// hands on the same sentences and so publishes the same fixes.
TEST_P(FlightInBothModes, AScriptedFlightArrivesSentenceBySentenceWithoutLoss) {
    const std::vector<std::string> flight = CaptureSentences();
    ASSERT_GT(flight.size(), 4000u);
    ASSERT_TRUE(OpenInMode(GetParam()));

    // The instrument writes in pieces of any size, split anywhere.
    std::string stream;
    for (const std::string& sentence : flight)
        stream += sentence;
    std::mt19937 random(7);
    for (std::size_t at = 0; at < stream.size();) {
        const std::size_t piece = std::uniform_int_distribution<std::size_t>(1, 700)(random);
        pty.Send(std::string_view(stream).substr(at, piece));
        at += piece;
    }
    ASSERT_TRUE(recorder.WaitForSentences(flight.size(), 60s));
    EXPECT_EQ(recorder.Sentences(), flight);
    EXPECT_TRUE(GpsPortDataSeen());

    // The reader parsed as the parser does on its own.
    const std::vector<ParsedFix> fromPort = recorder.Fixes();
    CloseGpsPort();
    EXPECT_FALSE(GpsPortDataSeen());
    ResetSentenceParser();
    SentenceRecorder direct;
    const GpsInputHandlers handlers = direct.Handlers();
    for (std::string sentence : flight)
        handlers.line(sentence);
    EXPECT_EQ(fromPort, direct.Fixes());
    EXPECT_GT(fromPort.size(), 400u);
}

INSTANTIATE_TEST_SUITE_P(Reader, FlightInBothModes,
                         ::testing::Values(ReaderMode::kPolling, ReaderMode::kEvents,
                                           ReaderMode::kEventsOnLineFeed),
                         [](const auto& param) -> std::string {
                             switch (param.param) {
                                 case ReaderMode::kPolling:
                                     return "Polling";
                                 case ReaderMode::kEvents:
                                     return "Events";
                                 case ReaderMode::kEventsOnLineFeed:
                                     break;
                             }
                             return "EventsOnLineFeed";
                         });

TEST_F(PortReaderTest, AnUnpluggedPortIsWaitedOnQuietlyAndReadsAgainAfterReopening) {
    const std::string gga =
        Sentence("GPGGA,134749.60,4857.88170,N,00705.83929,E,2,25,1.00,1452.0,M,47.2,M,,");
    const std::string rmc =
        Sentence("GPRMC,134749.60,A,4857.88170,N,00705.83929,E,35.9,270.6,281224,,,D");
    ASSERT_TRUE(OpenGpsPort(platform::FromUtf8(pty.Path())));
    pty.Send(gga + rmc + rmc.substr(0, 30));
    ASSERT_TRUE(recorder.WaitForSentences(2, 5s));
    std::this_thread::sleep_for(50ms);  // the half sentence has been read too

    pty.Unplug();  // mid-sentence
    const double cpuBefore = ProcessCpuSeconds();
    std::this_thread::sleep_for(500ms);
    // The reader keeps waiting at its usual pace, without spinning, and
    // raises no box: the link shows the port as lost until it is back.
    EXPECT_LT(ProcessCpuSeconds() - cpuBefore, 0.25);
    EXPECT_TRUE(GpsPortOpen());
    EXPECT_EQ(CurrentGpsLink(), GpsLink::kLost);
    EXPECT_EQ(recorder.Sentences().size(), 2u);
    EXPECT_TRUE(boxes->Boxes().empty());
    // The main window is told once; the port dialog is not open.
    ASSERT_EQ(posts->Records().size(), 1u);
    EXPECT_EQ(posts->Records()[0].message, platform::WM_APP_GPSLINK);
    EXPECT_EQ(posts->Records()[0].lParam, 1);

    PseudoTerminal pluggedBack;
    ASSERT_TRUE(OpenGpsPort(platform::FromUtf8(pluggedBack.Path())));
    pluggedBack.Send(rmc.substr(30) + gga);
    ASSERT_TRUE(recorder.WaitForSentences(3, 5s));
    // The tail of the cut sentence is not glued to its head.
    EXPECT_EQ(recorder.Sentences(), (std::vector<std::string>{gga, rmc, gga}));
}

TEST_F(PortReaderTest, APortReplacedUnderItsNameIsReadAgainAndThePilotIsTold) {
    // The receiver is unplugged and plugged in again: a new pseudo-terminal
    // behind the same link.
    core::SetStringProvider([](unsigned id) {
        return id == 4130 ? std::wstring(L"GPS lost") : id == 4131 ? L"GPS back" : L"";
    });
    const test_support::ScratchFolder folder("kv-port-link");
    const std::filesystem::path link = folder / "gps";
    std::filesystem::create_symlink(pty.Path(), link);
    SetGpsPortDialogOpen(true);
    ASSERT_TRUE(OpenGpsPort(platform::FromUtf8(link.string())));
    const std::string gga =
        Sentence("GPGGA,134749.60,4857.88170,N,00705.83929,E,2,25,1.00,1452.0,M,47.2,M,,");
    pty.Send(gga);
    ASSERT_TRUE(recorder.WaitForSentences(1, 5s));
    EXPECT_EQ(GpsLinkText(), L"");

    pty.Unplug();
    const auto lostBy = Clock::now() + 2s;
    while (CurrentGpsLink() != GpsLink::kLost && Clock::now() < lostBy)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(GpsLinkText(), L"GPS lost");

    PseudoTerminal pluggedBack;
    ASSERT_TRUE(pluggedBack.Valid());
    std::filesystem::remove(link);
    std::filesystem::create_symlink(pluggedBack.Path(), link);
    const auto replaced = Clock::now();
    bool flowing = false;
    while (!flowing && Clock::now() < replaced + 5s) {
        pluggedBack.Send(gga);
        flowing = recorder.WaitForSentences(2, 200ms);
    }
    EXPECT_TRUE(flowing) << "no fix within 5 s of the port coming back";
    EXPECT_EQ(CurrentGpsLink(), GpsLink::kBack);
    EXPECT_EQ(GpsLinkText(), L"GPS back");
    EXPECT_TRUE(boxes->Boxes().empty());
    // The port dialog was told twice and the main window once each: lost,
    // then back.
    int told = 0;
    std::vector<std::intptr_t> mainWindowTold;
    for (const auto& record : posts->Records()) {
        told += record.message == platform::WM_APP_PORTSTATUS;
        if (record.message == platform::WM_APP_GPSLINK) mainWindowTold.push_back(record.lParam);
    }
    EXPECT_EQ(told, 2);
    EXPECT_EQ(mainWindowTold, (std::vector<std::intptr_t>{1, 2}));

    // A port closed by the user stays closed.
    CloseGpsPort();
    EXPECT_EQ(CurrentGpsLink(), GpsLink::kUp);
    EXPECT_FALSE(GpsPortOpen());
    core::SetStringProvider(nullptr);
}

// Passes what the port receives only at the rate the instrument sends at;
// at any other rate the bytes arrive garbled, as from a real receiver. (A
// pseudo-terminal ignores the rate.)
class RateCheckingDevice final : public ForwardingDevice {
  public:
    RateCheckingDevice(std::unique_ptr<platform::SerialDevice> port, std::uint32_t rate,
                       std::uint32_t instrumentRate)
        : ForwardingDevice(std::move(port)), rate_(rate), instrumentRate_(instrumentRate) {}

    platform::PortStatus TakeStatus() override {
        platform::PortStatus status = ForwardingDevice::TakeStatus();
        if (rate_ != instrumentRate_ && status.queued > 0)
            status.errors |= platform::comm_error::kFrame;
        return status;
    }
    std::size_t Read(std::span<std::uint8_t> buffer) override {
        const std::size_t count = ForwardingDevice::Read(buffer);
        if (rate_ != instrumentRate_) {
            for (std::size_t i = 0; i < count; ++i)
                buffer[i] ^= 0xF0;  // never '$' or '!'
        }
        return count;
    }
    int SetBaudRate(std::uint32_t rate) override {
        const int error = ForwardingDevice::SetBaudRate(rate);
        if (error == 0) rate_ = rate;
        return error;
    }

  private:
    std::atomic<std::uint32_t> rate_;
    const std::uint32_t instrumentRate_;
};

TEST_F(PortReaderTest, TheBaudSearchFindsTheInstrumentsRateAndStaysThere) {
    SetGpsDeviceOpener([](const platform::PortTarget& target, std::uint32_t rate) {
        GpsDeviceOpenResult opened = OpenGpsDevice(target, rate);
        if (opened.device) {
            opened.device =
                std::make_unique<RateCheckingDevice>(std::move(opened.device), rate, 9600);
        }
        return opened;
    });
    g_autoBaud = 1;
    RestartAutoBaud();
    AdvanceAutoBaudRate();  // the search stands at the first rate, 4800
    ASSERT_TRUE(OpenGpsPort(platform::FromUtf8(pty.Path())));
    SetGpsPortDialogOpen(true);

    std::atomic<bool> sending{true};
    std::thread instrument([&] {
        const std::string rmc =
            Sentence("GPRMC,134749.60,A,4857.88170,N,00705.83929,E,35.9,270.6,281224,,,D");
        while (sending) {
            pty.Send(rmc);
            std::this_thread::sleep_for(20ms);
        }
    });
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(recorder.Sentences().empty());
    EXPECT_FALSE(PollAutoBaud());  // armed when the port opened, not silent long enough

    // 4.5 s without a sentence: the timer steps the rate.
    EXPECT_TRUE(PollAutoBaud(platform::TickCount() + kAutoBaudSilenceMs + 1));
    EXPECT_TRUE(recorder.WaitForSentences(3, 5s));
    EXPECT_EQ(g_baudRate.load(), 9600u);
    EXPECT_EQ(GpsPortBaudText(), L"9600");
    // Sentences keep the search from stepping again.
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(AutoBaudArmed());
    EXPECT_FALSE(PollAutoBaud());
    sending = false;
    instrument.join();

    const platform::RecordingUiPostBackend::Record told{
        platform::kGpsPortDialogWindow, platform::WM_APP_PORTSTATUS, 0, 9600, false};
    const auto records = posts->Records();
    EXPECT_NE(std::find(records.begin(), records.end(), told), records.end());
}

TEST_F(PortReaderTest, ClosingEndsAnIdleReaderWithinAPass) {
    ASSERT_TRUE(OpenGpsPort(platform::FromUtf8(pty.Path())));
    std::this_thread::sleep_for(50ms);
    const auto start = Clock::now();
    EXPECT_EQ(CloseGpsPort(), 1);
    EXPECT_LT(Clock::now() - start, 1s);  // far within the 5 s limit
    EXPECT_FALSE(GpsPortOpen());
    // The device is free again.
    EXPECT_TRUE(OpenGpsPort(platform::FromUtf8(pty.Path())));
}

TEST_F(PortReaderTest, CommandsReachTheInstrument) {
    EXPECT_FALSE(WriteGpsPortByte('x'));  // no port
    ASSERT_TRUE(OpenGpsPort(platform::FromUtf8(pty.Path())));
    const std::string command = "$PFLAC,S,BAUD,4*52\r\n";
    EXPECT_TRUE(WriteToGps(
        std::span(reinterpret_cast<const std::uint8_t*>(command.data()), command.size())));
    EXPECT_TRUE(WriteGpsPortByte('\x1b'));
    EXPECT_EQ(pty.Receive(command.size() + 1), command + "\x1b");
}

TEST_F(PortReaderTest, TheDialogIsToldWhenALineHasArrived) {
    ASSERT_TRUE(OpenGpsPort(platform::FromUtf8(pty.Path())));
    SetGpsPortDialogOpen(true);
    const std::string rmc = Sentence("GPRMC,134749.60,V,,,,,,,281224,,,N");
    pty.Send(rmc);
    ASSERT_TRUE(recorder.WaitForSentences(1, 5s));
    const auto records = posts->Records();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().window, platform::kGpsPortDialogWindow);
    EXPECT_EQ(records.back().message, platform::WM_APP_SERIALDATA);
    EXPECT_EQ(GpsPortDialogText(), rmc.substr(1, rmc.size() - 3));
}

TEST_F(PortReaderTest, BinaryFramesAreCutFromTheStreamAndChecked) {
    g_nmeaCode = 3;
    BinaryFrame frame{};
    frame[0] = '$';
    frame[1] = 'w';
    frame[2] = kBinaryFrameLength;
    for (std::size_t i = 4; i < frame.size(); ++i)
        frame[i] = static_cast<std::uint8_t>(i * 7);
    for (std::size_t i = 0; i < frame.size(); ++i) {
        if (i != 3) frame[3] ^= frame[i];
    }
    BinaryFrame broken = frame;
    broken[20] ^= 1;
    const auto text = [](const BinaryFrame& f) {
        return std::string(reinterpret_cast<const char*>(f.data()), f.size());
    };
    ASSERT_TRUE(OpenGpsPort(platform::FromUtf8(pty.Path())));
    pty.Send("noise" + text(broken) + "$$w" + text(frame) + text(frame));
    ASSERT_TRUE(recorder.WaitForFrames(2, 5s));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(recorder.Frames(), (std::vector<BinaryFrame>{frame, frame}));
}

TEST_F(PortReaderTest, TheRawCaptureAppendsEverythingReceived) {
    const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) /
                                         ("kv_raw_capture_" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "KOR_VAN WinCE");
    const std::wstring documents = core::g_documentsFolder;
    core::g_documentsFolder = platform::FromUtf8(folder.string()) + L"/";
    const std::string first = "\x01 not a sentence $GPXXX,1*00\r\n";
    const std::string second = Sentence("GPRMC,134749.60,V,,,,,,,281224,,,N");

    const std::filesystem::path expected = folder / "KOR_VAN WinCE" / "rawKOR_VANdata##!!.txt";
    const auto waitForSize = [&](std::uintmax_t size) {
        const auto sizeNow = [&] {
            std::error_code error;  // not there yet: size 0
            const std::uintmax_t now = std::filesystem::file_size(expected, error);
            return error ? 0 : now;
        };
        const auto deadline = Clock::now() + 5s;
        while (sizeNow() < size && Clock::now() < deadline)
            std::this_thread::sleep_for(5ms);
    };
    g_bRawDataCapture = 1;
    std::uintmax_t total = 0;
    for (const std::string& bytes : {first, second}) {
        ASSERT_TRUE(OpenGpsPort(platform::FromUtf8(pty.Path())));
        pty.Send(bytes);
        waitForSize(total += bytes.size());
        CloseGpsPort();
    }
    EXPECT_EQ(RawDataLogPath(), expected);
    g_bRawDataCapture = 0;
    OpenRawDataLog();  // switching it off closes the file
    EXPECT_TRUE(RawDataLogPath().empty());
    std::ifstream file(expected, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    EXPECT_EQ(content.str(), first + second);
    core::g_documentsFolder = documents;
    std::filesystem::remove_all(folder);
}

TEST_F(PortReaderTest, APortThatCannotBeOpenedIsExplainedToTheUser) {
    EXPECT_FALSE(OpenGpsPort(L"/dev/kv-no-such-port"));
    auto shown = boxes->Boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].text.find(L"No such file or directory"), std::wstring::npos);
    EXPECT_EQ(shown[0].style, platform::mb::kIconHand | platform::mb::kTopmost);

    boxes->Clear();
    EXPECT_FALSE(OpenGpsPort(L"/dev/null"));  // not a serial port
    shown = boxes->Boxes();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, L"GetCommStateError");
    EXPECT_FALSE(GpsPortOpen());
}

TEST_F(PortReaderTest, StoredNamesOpenTheirDevicesAndTheGpsServiceFailsSilently) {
    std::vector<platform::PortTarget> asked;
    SetGpsDeviceOpener([&](const platform::PortTarget& target, std::uint32_t) {
        asked.push_back(target);
        return GpsDeviceOpenResult{nullptr, platform::SerialPort::OpenStep::kOpen, ENOENT};
    });
    EXPECT_FALSE(OpenGpsPort(L""));
    EXPECT_FALSE(OpenGpsPort(L"COM12"));
    EXPECT_EQ(boxes->Boxes().size(), 2u);
    boxes->Clear();
    EXPECT_FALSE(OpenGpsPort(L"#gpsAPI"));  // no gpsd: no message
    EXPECT_TRUE(boxes->Boxes().empty());
    using Kind = platform::PortTarget::Kind;
    EXPECT_EQ(asked, (std::vector<platform::PortTarget>{{Kind::kDevice, "/dev/ttyS0"},
                                                        {Kind::kDevice, "/dev/ttyS11"},
                                                        {Kind::kGpsd, {}}}));
}

}  // namespace
}  // namespace gps::testing
