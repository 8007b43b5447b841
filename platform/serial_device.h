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
};

}  // namespace platform
