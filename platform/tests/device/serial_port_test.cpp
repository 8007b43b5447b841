// The serial port against a pseudo-terminal: the test holds the master
// side, the port opens the slave.
#include "platform/serial_port.h"

#include <termios.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/modem_line_watch.h"
#include "platform/wake_event.h"
#include "testing/pseudo_terminal.h"

namespace platform {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

using test_support::PseudoTerminal;

class SerialPortTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Valid()) << "openpty failed";
        auto result = SerialPort::Open(pty.Path(), 4800);
        ASSERT_TRUE(result.port) << "error " << result.error;
        port = std::move(result.port);
    }

    std::string ReadAll(std::size_t count) {
        std::string text;
        const auto deadline = Clock::now() + 1s;
        while (text.size() < count && Clock::now() < deadline) {
            if (port->WaitForData(20ms) != DataWait::kData) continue;
            std::uint8_t buffer[500];
            const std::size_t n = port->Read(buffer);
            text.append(reinterpret_cast<const char*>(buffer), n);
        }
        return text;
    }

    PseudoTerminal pty;
    std::unique_ptr<SerialPort> port;
};

TEST_F(SerialPortTest, OpensRawEightBitsNoParityOneStopNoFlowControl) {
    termios settings{};
    ASSERT_EQ(::tcgetattr(pty.Master(), &settings), 0);  // a master reports its slave's settings
    EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_NE(settings.c_cflag & CLOCAL, 0u);
    EXPECT_NE(settings.c_cflag & CREAD, 0u);
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF | IXANY | ICRNL | ISTRIP), 0u);
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(settings.c_oflag & OPOST, 0u);
    EXPECT_EQ(port->BaudRate(), 4800u);
}

TEST_F(SerialPortTest, SecondOpenOfTheSameDeviceIsRefusedAsBusy) {
    const auto second = SerialPort::Open(pty.Path(), 4800);
    EXPECT_FALSE(second.port);
    EXPECT_EQ(second.failedStep, SerialPort::OpenStep::kOpen);
    EXPECT_EQ(second.error, EBUSY);

    port.reset();  // closing frees it
    EXPECT_TRUE(SerialPort::Open(pty.Path(), 4800).port);
}

TEST_F(SerialPortTest, EveryRateIsSetIncludingThoseWithoutAStandardCode) {
    for (const std::uint32_t rate :
         {1200u, 2400u, 4800u, 9600u, 14400u, 19200u, 28800u, 38400u, 57600u, 115200u}) {
        EXPECT_EQ(port->SetBaudRate(rate), 0) << rate;
        EXPECT_EQ(port->BaudRate(), rate);
    }
    EXPECT_EQ(port->SetBaudRate(0), EINVAL);
}

TEST_F(SerialPortTest, BytesPassBothWaysUnchanged) {
    // Every byte value, CR and LF included, is passed as it is.
    std::string all;
    for (int value = 0; value < 256; ++value)
        all.push_back(static_cast<char>(value));
    pty.Send(all);
    EXPECT_EQ(ReadAll(all.size()), all);

    const std::string command = "$PFLAC,S,BAUD,4\r\n";
    EXPECT_EQ(port->Write(
                  std::span(reinterpret_cast<const std::uint8_t*>(command.data()), command.size())),
              0);
    EXPECT_EQ(pty.Receive(command.size()), command);
}

TEST_F(SerialPortTest, StatusTellsHowManyBytesWait) {
    pty.Send("$GPRMC");
    ASSERT_EQ(port->WaitForData(1s), DataWait::kData);
    auto deadline = Clock::now() + 1s;
    PortStatus status;
    while ((status = port->TakeStatus()).queued < 6 && Clock::now() < deadline) {
    }
    EXPECT_EQ(status.queued, 6u);
    EXPECT_EQ(status.errors, 0u);  // a pseudo-terminal counts no errors
}

TEST_F(SerialPortTest, AnIdleWaitLastsItsTimeLimit) {
    const auto start = Clock::now();
    EXPECT_EQ(port->WaitForData(30ms), DataWait::kTimeout);
    EXPECT_GE(Clock::now() - start, 25ms);
}

TEST_F(SerialPortTest, LinesAndCountersADeviceLacksAreReportedAsAbsent) {
    // A pseudo-terminal has no modem lines and no error counters.
    EXPECT_FALSE(port->ModemLines());
    EXPECT_FALSE(port->SetDtr(false));
    EXPECT_EQ(port->TakeStatus().errors, 0u);
    port->Purge();
}

TEST_F(SerialPortTest, AfterAHangUpWaitsDoNotSpinAndReadsGiveNothing) {
    // What was still unread when the other end went is lost with it.
    pty.Send("$GPGGA,1");
    ASSERT_EQ(port->WaitForData(1s), DataWait::kData);
    pty.Unplug();

    for (int pass = 0; pass < 3; ++pass) {
        const auto start = Clock::now();
        EXPECT_EQ(port->WaitForData(20ms), DataWait::kHangUp);
        EXPECT_GE(Clock::now() - start, 15ms);
        std::uint8_t buffer[16];
        EXPECT_EQ(port->Read(buffer), 0u);
    }
}

TEST_F(SerialPortTest, AnEventWaitEndsForAWakeBytesOrAHangUpOnly) {
    const WakeEvent wake;
    ASSERT_TRUE(wake.Valid());
    // Line changes were asked for, but a pseudo-terminal cannot report them:
    // only the wake ends the wait.
    const auto start = Clock::now();
    std::thread waker([&] {
        std::this_thread::sleep_for(30ms);
        wake.Signal();
    });
    EXPECT_EQ(port->WaitForEvents(wake, true), port_event::kWoken);
    EXPECT_GE(Clock::now() - start, 25ms);
    waker.join();
    EXPECT_FALSE(wake.Take());  // the wait took the wake-up

    wake.Signal();  // given before the wait: not lost
    EXPECT_EQ(port->WaitForEvents(wake, true), port_event::kWoken);

    pty.Send("$GP");
    EXPECT_EQ(port->WaitForEvents(wake, true), port_event::kData);
    EXPECT_EQ(ReadAll(3), "$GP");

    pty.Unplug();
    EXPECT_EQ(port->WaitForEvents(wake, true), port_event::kHangUp);
    EXPECT_EQ(port->WaitForEvents(wake, true), port_event::kHangUp);
}

TEST_F(SerialPortTest, ALineWatchOnADriverThatCannotWaitForLinesEndsAtOnce) {
    const WakeEvent changed;
    const ModemLineWatch watch(pty.Master(), changed);
    const auto deadline = Clock::now() + 1s;
    while (watch.Supported() && Clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    EXPECT_FALSE(watch.Supported());
    EXPECT_FALSE(changed.Take());
}

TEST_F(SerialPortTest, APseudoTerminalIsAPortWithoutModemLinesAndTakesTheReadTiming) {
    const PropertiesQuery query = port->QueryProperties();
    ASSERT_EQ(query.error, 0);
    const CommProperties& properties = query.properties;
    EXPECT_EQ(properties.wPacketLength, 64);
    EXPECT_EQ(properties.dwServiceMask, CommProperties::kSerialService);
    EXPECT_EQ(properties.dwProvSubType, CommProperties::kUnspecified);
    EXPECT_EQ(properties.dwProvCapabilities & 0x5u, 0u);  // no DTR/DSR, no carrier detect
    EXPECT_NE(properties.dwSettableBaud & CommProperties::kBaudUser, 0u);
    EXPECT_EQ(properties.wSettableData, 0x0F);
    EXPECT_EQ(properties.dwCurrentRxQueue, 0u);

    EXPECT_EQ(port->SetReadTimeouts().failed, ReadTimeoutsResult::Step::kNone);
    termios settings{};
    ASSERT_EQ(::tcgetattr(pty.Master(), &settings), 0);
    EXPECT_EQ(settings.c_cc[VMIN], 0);
    EXPECT_EQ(settings.c_cc[VTIME], 0);
}

TEST(SerialPortOpen, FailuresTellTheStepAndTheError) {
    const auto missing = SerialPort::Open("/dev/kv-no-such-port", 4800);
    EXPECT_FALSE(missing.port);
    EXPECT_EQ(missing.failedStep, SerialPort::OpenStep::kOpen);
    EXPECT_EQ(missing.error, ENOENT);

    const auto notATerminal = SerialPort::Open("/dev/null", 4800);
    EXPECT_FALSE(notATerminal.port);
    EXPECT_EQ(notATerminal.failedStep, SerialPort::OpenStep::kGetState);
    EXPECT_EQ(notATerminal.error, ENOTTY);
}

}  // namespace
}  // namespace platform
