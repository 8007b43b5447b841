#pragma once
// A serial port device (/dev/tty*) set up for an instrument: opened for this
// process alone, raw 8 data bits, no parity, one stop bit, no flow control.
//
// Every rate from 1200 to 115200 is available, the odd ones of the baud
// search (14400, 28800) too: rates without a standard code are set as a
// number. Communication errors come from the driver's error counters where
// it keeps them; a pseudo-terminal keeps none and never reports errors or
// modem lines, and ignores the rate.
//
// In the event-driven wait (WaitForEvents) modem-line changes come from a
// helper thread sleeping in the driver (platform/modem_line_watch.h),
// started at the first wait that asks for them; where the driver cannot
// wait for the lines they are not reported.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "platform/modem_line_watch.h"
#include "platform/serial_device.h"
#include "platform/unique_fd.h"

namespace platform {

class SerialPort final : public SerialDevice {
  public:
    // The step at which opening stopped.
    enum class OpenStep {
        kOpen,      // the device could not be opened (missing, busy, no access)
        kGetState,  // it is not a terminal device
        kSetState,  // it refused the line settings or the rate
    };
    struct OpenResult {
        std::unique_ptr<SerialPort> port;  // null on failure
        OpenStep failedStep = OpenStep::kOpen;
        int error = 0;  // the system error number of the failure
    };

    // Opens the device for this process alone (a second opener, in this
    // process or another, gets EBUSY) at baudRate, with DTR and RTS on.
    static OpenResult Open(const std::filesystem::path& device, std::uint32_t baudRate);

    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;
    ~SerialPort() override = default;

    DataWait WaitForData(std::chrono::milliseconds timeout) override;
    PortStatus TakeStatus() override;
    std::size_t Read(std::span<std::uint8_t> buffer) override;
    int Write(std::span<const std::uint8_t> bytes) override;
    int SetBaudRate(std::uint32_t rate) override;
    std::optional<unsigned> ModemLines() override;
    bool SetDtr(bool on) override;
    bool SetRts(bool on) override;
    void Purge() override;
    void Drain() override;
    unsigned WaitForEvents(const WakeEvent& wake, bool lineEvents) override;
    // Fails only for a descriptor that is no terminal: a pseudo-terminal or
    // a USB modem port is a port like any other here.
    PropertiesQuery QueryProperties() override;
    ReadTimeoutsResult SetReadTimeouts() override;

    // The rate the driver runs at now; nothing when it cannot tell.
    std::optional<std::uint32_t> BaudRate() const;

    // How long Write waits for room in the output queue: no longer than the
    // reader's poll, as the port lock is held meanwhile.
    static constexpr std::chrono::milliseconds kWriteWait{20};

  private:
    explicit SerialPort(UniqueFd fd);

    std::size_t QueuedBytes() const;
    // The comm_error bits for the driver's error counters that grew since
    // the last call.
    std::uint32_t NewErrors();
    bool SetModemLine(int line, bool on);

    UniqueFd fd_;
    // frame, overrun, parity, break, buffer overrun: the last counts seen.
    std::array<int, 5> errorCounts_{};
    // Set once the device has hung up; it stays unusable until reopened.
    std::atomic<bool> hungUp_{false};
    // Signalled by the line watch; both belong to the event-driven wait.
    WakeEvent linesChanged_;
    // Declared after fd_: it ends before the descriptor closes.
    std::unique_ptr<ModemLineWatch> lineWatch_;
};

}  // namespace platform
