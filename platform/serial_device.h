#pragma once
// A byte stream from an instrument: a serial port (platform/serial_port.h)
// or a service that relays one (platform/gpsd_source.h). The GPS port
// reader sees only this interface, so both share one sentence assembly, and
// tests can put a device of their own in between.
//
// No call blocks longer than its time limit (or a short write wait), so a
// caller may hold its port lock around any one call except WaitForData.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/comm_properties.h"
#include "platform/wake_event.h"

namespace platform {

// The communication-error word: one bit per kind of error seen since the
// last look. The values are those the error records have always carried, so
// a combination logged as a number means the same as before.
namespace comm_error {
inline constexpr std::uint32_t kRxOver = 0x0001;    // input queue overflowed
inline constexpr std::uint32_t kOverrun = 0x0002;   // a character was lost in the hardware
inline constexpr std::uint32_t kRxParity = 0x0004;  // parity error
inline constexpr std::uint32_t kFrame = 0x0008;     // framing error (often a wrong rate)
inline constexpr std::uint32_t kBreak = 0x0010;     // break condition
inline constexpr std::uint32_t kTxFull = 0x0100;    // output queue full
}  // namespace comm_error

// The modem input lines, one bit each.
namespace modem_line {
inline constexpr unsigned kCts = 0x1;
inline constexpr unsigned kDsr = 0x2;
inline constexpr unsigned kRing = 0x4;
inline constexpr unsigned kRlsd = 0x8;  // carrier detect
inline constexpr unsigned kAll = 0xF;
}  // namespace modem_line

// What a look at the port finds.
struct PortStatus {
    std::uint32_t errors = 0;  // comm_error bits since the last look
    std::size_t queued = 0;    // bytes waiting to be read
};

// What ended a WaitForEvents, as bits.
namespace port_event {
inline constexpr unsigned kData = 0x1;    // bytes are waiting
inline constexpr unsigned kLines = 0x2;   // a modem input line changed
inline constexpr unsigned kWoken = 0x4;   // the wake event was signalled (and is taken)
inline constexpr unsigned kHangUp = 0x8;  // the other end is gone
}  // namespace port_event

// A look at what the port can do: the record, or the system error number
// of a failed look.
struct PropertiesQuery {
    CommProperties properties;
    int error = 0;
};

// Setting up the read timing the reader wants: reads return at once with
// what is queued. Which step failed, with its system error number.
struct ReadTimeoutsResult {
    enum class Step { kNone, kGet, kSet };
    Step failed = Step::kNone;
    int error = 0;
};

enum class DataWait {
    kData,     // bytes are waiting
    kTimeout,  // none came within the time limit
    kHangUp,   // the other end is gone (unplugged, closed); the whole time limit was waited
};

class SerialDevice {
  public:
    virtual ~SerialDevice() = default;

    // Waits up to timeout for bytes to read. Returns early only for data:
    // a device that has hung up waits out the time limit, so a caller that
    // loops on this never spins.
    virtual DataWait WaitForData(std::chrono::milliseconds timeout) = 0;

    // The errors seen since the last call and the bytes waiting.
    virtual PortStatus TakeStatus() = 0;

    // Reads what is waiting, at most buffer.size() bytes, without waiting
    // for more. 0 when nothing waits or the device failed.
    virtual std::size_t Read(std::span<std::uint8_t> buffer) = 0;

    // Writes all bytes, waiting a short time for room. 0 on success, else
    // the system error number.
    virtual int Write(std::span<const std::uint8_t> bytes) = 0;

    // 0 on success, else the system error number.
    virtual int SetBaudRate(std::uint32_t rate) = 0;

    // The modem input lines (modem_line bits); nothing when the device has
    // none or cannot tell.
    virtual std::optional<unsigned> ModemLines() = 0;

    // Drives the modem output lines; false when the device cannot.
    virtual bool SetDtr(bool on) = 0;
    virtual bool SetRts(bool on) = 0;

    // Discards what waits in both directions.
    virtual void Purge() = 0;

    // Waits until every byte written has been sent (devices that do not
    // queue output return at once).
    virtual void Drain() {}

    // Waits, without a time limit, until bytes are waiting, `wake` is
    // signalled, the device hangs up, or (with lineEvents, where the device
    // can tell without being polled) a modem input line changes; returns
    // the port_event bits of what happened. Errors wake nobody: they are
    // taken with the next TakeStatus. Devices that cannot wait so fall back
    // on WaitForData in short slices.
    virtual unsigned WaitForEvents(const WakeEvent& wake, bool lineEvents);

    // What the device can do. Devices that are no serial port report an
    // unspecified provider with no capabilities.
    virtual PropertiesQuery QueryProperties();

    // Sets the read timing (see ReadTimeoutsResult); nothing to do for
    // devices that are no terminal.
    virtual ReadTimeoutsResult SetReadTimeouts();
};

}  // namespace platform
