#include "platform/serial_port.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <thread>

#include "platform/serial_port_baud.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// The capabilities the terminal interface gives every terminal: hardware
// and software handshake, parity checking, settable start and stop
// characters, and an interval timeout (VTIME).
constexpr std::uint32_t kPcfDtrDsr = 0x1;
constexpr std::uint32_t kPcfRtsCts = 0x2;
constexpr std::uint32_t kPcfRlsd = 0x4;
constexpr std::uint32_t kPcfParityCheck = 0x8;
constexpr std::uint32_t kPcfXonXoff = 0x10;
constexpr std::uint32_t kPcfSetXChar = 0x20;
constexpr std::uint32_t kPcfIntTimeouts = 0x80;
// Parity, rate, data bits, stop bits, handshake, parity check; carrier
// detect where the modem lines can be read.
constexpr std::uint32_t kSettableTermios = 0x3F;
constexpr std::uint32_t kSettableRlsd = 0x40;
// Every rate with a terminal code (75 ... 115200), and any other as a
// number: 75, 110, 134.5, 150, 300, 600, 1200, 1800, 2400, 4800, 9600,
// 19200, 38400, 57600, 115200.
constexpr std::uint32_t kTermiosRates = 0x1 | 0x2 | 0x4 | 0x8 | 0x10 | 0x20 | 0x40 | 0x80 |
                                        0x100 | 0x200 | 0x800 | 0x2000 | 0x4000 | 0x40000 |
                                        0x20000;
constexpr std::uint32_t kRate115200 = 0x20000;
// CS5 ... CS8.
constexpr std::uint16_t kDataBits5To8 = 0x000F;
// One or two stop bits; no, odd, even, mark and space parity (CMSPAR).
constexpr std::uint16_t kStopParity = 0x0001 | 0x0004 | 0x0100 | 0x0200 | 0x0400 | 0x0800 | 0x1000;

int SerialPollTimeout(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Raw bytes in and out: 8 data bits, no parity, one stop bit, no flow
// control in either direction, modem lines ignored for reception, reads
// return what is there.
int MakeRaw(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) return errno;
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    return ::tcsetattr(fd, TCSANOW, &settings) == 0 ? 0 : errno;
}

}  // namespace

SerialPort::OpenResult SerialPort::Open(const std::filesystem::path& device,
                                        std::uint32_t baudRate) {
    UniqueFd fd(::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd) return {nullptr, OpenStep::kOpen, errno};
    // The lock keeps out every cooperating opener (also root, whom the
    // terminal's exclusive mode lets through); the exclusive mode keeps out
    // the rest.
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        return {nullptr, OpenStep::kOpen, errno == EWOULDBLOCK ? EBUSY : errno};
    }
    termios probe{};
    if (::tcgetattr(fd.Get(), &probe) != 0) return {nullptr, OpenStep::kGetState, errno};
    ::ioctl(fd.Get(), TIOCEXCL);
    if (const int error = MakeRaw(fd.Get())) return {nullptr, OpenStep::kSetState, error};
    if (const int error = detail::SetTerminalRate(fd.Get(), baudRate)) {
        return {nullptr, OpenStep::kSetState, error};
    }
    std::unique_ptr<SerialPort> port(new SerialPort(std::move(fd)));
    port->SetDtr(true);
    port->SetRts(true);
    port->NewErrors();  // counts from now on
    return {std::move(port), OpenStep::kOpen, 0};
}

SerialPort::SerialPort(UniqueFd fd) : fd_(std::move(fd)) {}

DataWait SerialPort::WaitForData(std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    if (!hungUp_) {
        pollfd entry{fd_.Get(), POLLIN, 0};
        const int ready = ::poll(&entry, 1, SerialPollTimeout(deadline));
        if (ready == 0) return DataWait::kTimeout;
        if (ready > 0) {
            const bool broken = (entry.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
            // What came before the hang-up can still be read.
            if (!broken && (entry.revents & POLLIN) != 0) return DataWait::kData;
            if (QueuedBytes() > 0) return DataWait::kData;
            if (broken) hungUp_ = true;
        }
    }
    std::this_thread::sleep_until(deadline);
    return hungUp_ ? DataWait::kHangUp : DataWait::kTimeout;
}

std::size_t SerialPort::QueuedBytes() const {
    int queued = 0;
    if (::ioctl(fd_.Get(), FIONREAD, &queued) != 0 || queued < 0) return 0;
    return static_cast<std::size_t>(queued);
}

std::uint32_t SerialPort::NewErrors() {
    serial_icounter_struct counters{};
    // Drivers without error counters (pseudo-terminals, many USB adapters)
    // report nothing.
    if (::ioctl(fd_.Get(), TIOCGICOUNT, &counters) != 0) return 0;
    const std::array<int, 5> now{counters.frame, counters.overrun, counters.parity, counters.brk,
                                 counters.buf_overrun};
    constexpr std::array<std::uint32_t, 5> kBits{comm_error::kFrame, comm_error::kOverrun,
                                                 comm_error::kRxParity, comm_error::kBreak,
                                                 comm_error::kRxOver};
    std::uint32_t errors = 0;
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (now[i] != errorCounts_[i]) errors |= kBits[i];
    }
    errorCounts_ = now;
    return errors;
}

PortStatus SerialPort::TakeStatus() {
    return {NewErrors(), QueuedBytes()};
}

std::size_t SerialPort::Read(std::span<std::uint8_t> buffer) {
    for (;;) {
        const ssize_t count = ::read(fd_.Get(), buffer.data(), buffer.size());
        if (count >= 0) return static_cast<std::size_t>(count);
        if (errno == EINTR) continue;
        // The other end is gone (a pseudo-terminal's master closed, a USB
        // adapter unplugged).
        if (errno == EIO || errno == ENXIO || errno == ENODEV) hungUp_ = true;
        return 0;
    }
}

int SerialPort::Write(std::span<const std::uint8_t> bytes) {
    const Clock::time_point deadline = Clock::now() + kWriteWait;
    while (!bytes.empty()) {
        const ssize_t count = ::write(fd_.Get(), bytes.data(), bytes.size());
        if (count >= 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(count));
            continue;
        }
        if (errno == EINTR) continue;
        if (errno != EAGAIN) return errno;
        pollfd entry{fd_.Get(), POLLOUT, 0};
        if (::poll(&entry, 1, SerialPollTimeout(deadline)) == 0) return EAGAIN;
    }
    return 0;
}

int SerialPort::SetBaudRate(std::uint32_t rate) {
    return detail::SetTerminalRate(fd_.Get(), rate);
}

std::optional<std::uint32_t> SerialPort::BaudRate() const {
    return detail::TerminalRate(fd_.Get());
}

std::optional<unsigned> SerialPort::ModemLines() {
    int status = 0;
    if (::ioctl(fd_.Get(), TIOCMGET, &status) != 0) return std::nullopt;
    unsigned lines = 0;
    if (status & TIOCM_CTS) lines |= modem_line::kCts;
    if (status & TIOCM_DSR) lines |= modem_line::kDsr;
    if (status & TIOCM_RI) lines |= modem_line::kRing;
    if (status & TIOCM_CD) lines |= modem_line::kRlsd;
    return lines;
}

bool SerialPort::SetModemLine(int line, bool on) {
    return ::ioctl(fd_.Get(), on ? TIOCMBIS : TIOCMBIC, &line) == 0;
}

bool SerialPort::SetDtr(bool on) {
    return SetModemLine(TIOCM_DTR, on);
}

bool SerialPort::SetRts(bool on) {
    return SetModemLine(TIOCM_RTS, on);
}

void SerialPort::Purge() {
    ::tcflush(fd_.Get(), TCIOFLUSH);
}

void SerialPort::Drain() {
    while (::tcdrain(fd_.Get()) != 0 && errno == EINTR) {
    }
}

unsigned SerialPort::WaitForEvents(const WakeEvent& wake, bool lineEvents) {
    if (hungUp_) return port_event::kHangUp;
    if (lineEvents && !lineWatch_ && linesChanged_.Valid()) {
        lineWatch_ = std::make_unique<ModemLineWatch>(fd_.Get(), linesChanged_);
    }
    std::array<pollfd, 3> entries{{{fd_.Get(), POLLIN, 0},
                                   {wake.Fd(), POLLIN, 0},
                                   {linesChanged_.Fd(), POLLIN, 0}}};
    const nfds_t count = lineEvents && lineWatch_ ? 3 : 2;
    while (::poll(entries.data(), count, -1) < 0) {
        if (errno != EINTR) return port_event::kHangUp;
    }
    unsigned events = 0;
    if ((entries[1].revents & POLLIN) != 0 && wake.Take()) events |= port_event::kWoken;
    if ((entries[2].revents & POLLIN) != 0 && linesChanged_.Take()) events |= port_event::kLines;
    const short device = entries[0].revents;
    if ((device & (POLLHUP | POLLERR | POLLNVAL)) != 0 && QueuedBytes() == 0) {
        hungUp_ = true;
        return events | port_event::kHangUp;
    }
    if (device != 0) events |= port_event::kData;  // what came before a hang-up too
    return events;
}

PropertiesQuery SerialPort::QueryProperties() {
    termios settings{};
    if (::tcgetattr(fd_.Get(), &settings) != 0) return {{}, errno};
    CommProperties properties;
    properties.dwServiceMask = CommProperties::kSerialService;
    properties.dwProvCapabilities =
        kPcfRtsCts | kPcfParityCheck | kPcfXonXoff | kPcfSetXChar | kPcfIntTimeouts;
    properties.dwSettableParams = kSettableTermios;
    properties.dwMaxBaud = CommProperties::kBaudUser;
    properties.dwSettableBaud = kTermiosRates | CommProperties::kBaudUser;
    properties.wSettableData = kDataBits5To8;
    properties.wSettableStopParity = kStopParity;
    serial_struct serial{};
    if (::ioctl(fd_.Get(), TIOCGSERIAL, &serial) == 0) {
        properties.dwProvSubType = CommProperties::kRs232;
        // The fastest rate the UART divides down to without a custom divisor.
        if (serial.baud_base == 115200) properties.dwMaxBaud = kRate115200;
    }
    if (ModemLines()) {
        properties.dwProvCapabilities |= kPcfDtrDsr | kPcfRlsd;
        properties.dwSettableParams |= kSettableRlsd;
    }
    return {properties, 0};
}

ReadTimeoutsResult SerialPort::SetReadTimeouts() {
    using Step = ReadTimeoutsResult::Step;
    termios settings{};
    if (::tcgetattr(fd_.Get(), &settings) != 0) return {Step::kGet, errno};
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (::tcsetattr(fd_.Get(), TCSANOW, &settings) != 0) return {Step::kSet, errno};
    return {};
}

}  // namespace platform
