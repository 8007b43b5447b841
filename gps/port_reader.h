#pragma once
// The GPS port's reader thread.
//
// It runs raised above the other threads where the program may raise it,
// and first sets the port's read timing (a failure is told in a box, and it
// runs on). It waits for the port in slices of 20 ms (returning at once
// when bytes arrive), or, with the polling flag cleared, sleeps until the
// port or a wake-up calls (gps/port_events.h); then in each pass: steps the
// baud rate when the search asks, writes communication errors to the
// flight log (purging the port after the serious ones), turns modem-line
// changes into event records, and reads up to 500 bytes: those go to the raw capture and the port dialog, and are
// cut into sentences (or, with "NMEA_code" 3, binary frames) that are
// handed on one by one.
//
// A port that hangs up (unplugged; POLLHUP, or EIO, ENXIO or ENODEV on a
// read) while it is the open port is lost: the link shows "GPS lost"
// (gps_port.h), and the reader tries every 2 s to reopen the port by its
// name (ReopenLostGpsPort) until that works ("GPS back") or the port is
// closed. It never spins, and the loss raises no box.
//
// The reader never holds GpsPortLock while it waits or while a sentence is
// handled, so the flight log's lock is never taken inside it.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <stop_token>

#include "gps/nmea_binary_frame.h"
#include "gps/nmea_frame_assembler.h"
#include "gps/nmea_line.h"
#include "gps/port_comm_errors.h"
#include "gps/port_line_assembler.h"
#include "gps/port_modem_lines.h"
#include "gps/port_services.h"
#include "platform/serial_device.h"

namespace gps {

inline constexpr std::chrono::milliseconds kReaderPollInterval{20};
inline constexpr std::size_t kReaderChunk = 500;
inline constexpr std::chrono::seconds kLostPortRetryInterval{2};

// What becomes of each complete sentence and each binary frame: "line
// parsed, logged, committed" as one step.
struct GpsInputHandlers {
    // A sentence as the reader cut it ('$' to LF, changed in place). Returns
    // what it classified as (any type re-arms the baud search).
    std::function<NmeaLineResult(std::span<char>)> line;
    // A binary frame whose checksum holds.
    std::function<void(const BinaryFrame&)> frame;
};

// The standard step: classify and parse, then call acceptedFix (the fix
// log and commit) for each sentence or frame the parser accepted.
GpsInputHandlers DefaultGpsInputHandlers(std::function<void()> acceptedFix = {});

// Installs the handlers for every later OpenGpsPort (start-up installs the
// standard step with the fix commit; tests their own). Empty handlers mean
// the standard step without a commit.
void SetGpsInputHandlers(GpsInputHandlers handlers);
GpsInputHandlers CurrentGpsInputHandlers();

class PortReader {
  public:
    PortReader(std::weak_ptr<platform::SerialDevice> device, GpsInputHandlers handlers,
               PortReaderServices& services);

    // The thread's body; returns when stop is requested.
    void CommThreadProc(std::stop_token stop);

    // What wakes the reader while it waits for events (gps/port_events.h).
    std::shared_ptr<const platform::WakeEvent> Wake() const { return wake_; }

  private:
    // What a wait found to do. Polling, a pass looks at the lines and reads
    // every time.
    struct PortWork {
        platform::PortStatus status;
        bool lines = true;
        bool data = true;
    };

    // Runs call(device) under GpsPortLock when this reader's device is still
    // the open port; the result, or nothing.
    template <typename Call>
    auto OnPort(Call&& call);

    // This reader's device while it is the open port, else null.
    std::shared_ptr<platform::SerialDevice> OpenDevice();
    // The terminal's read timing; a failure is told in a box, and the
    // reader runs on with what the port has.
    void SetUpReadTimeouts();
    // Bytes, errors or line changes at the port, or a baud step asked for;
    // nothing when asked to stop or when the port was found lost.
    std::optional<PortWork> WaitForWork(const std::stop_token& stop);
    std::optional<PortWork> PollForWork(const std::stop_token& stop);
    std::optional<PortWork> WaitForEvents(const std::stop_token& stop);
    // One poll interval's wait; true when the port hung up.
    bool Pause();
    void MarkLost(const std::shared_ptr<platform::SerialDevice>& device);
    // While lost: one slice of waiting, or a try to reopen the port.
    void RetryLostPort();
    void StepBaudRate();
    // True when the error ends the pass (the port was purged).
    bool HandleErrors(std::uint32_t errors);
    std::optional<unsigned> ReadModemLines();
    void ReadData();
    void HandleBytes(std::span<const std::uint8_t> bytes);

    std::weak_ptr<platform::SerialDevice> device_;
    const std::shared_ptr<const platform::WakeEvent> wake_ =
        std::make_shared<const platform::WakeEvent>();
    GpsInputHandlers handlers_;
    PortReaderServices& services_;
    LineAssembler lines_;
    BinaryFrameAssembler frames_;
    CommErrorLog errors_;
    ModemLineMonitor modemLines_;
    std::array<std::uint8_t, kReaderChunk> chunk_{};
    bool lost_ = false;
    std::chrono::steady_clock::time_point nextReopen_;
};

}  // namespace gps
