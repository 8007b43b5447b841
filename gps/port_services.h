#pragma once
// What the GPS port and its reader need from the rest of the program: the
// flight log, the navigation side's fix and the external instruments.
// The built-in services write to the flight log (services/flight_log.h) and read
// the published fix time; they know of no first fix, no sensor box and no
// logger to switch. Start-up installs services that know the rest before the
// port opens; tests install their own.

#include <span>
#include <string_view>

namespace gps {

// Hours, minutes and whole seconds of the current fix time.
struct FixClock {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
};

class PortReaderServices {
  public:
    virtual ~PortReaderServices() = default;

    // Appends lines (each ending in CR LF) to the open flight log the way
    // every writer of log lines does: under the log's lock, each folded into
    // the security digest of an IGC log and flushed, a failed write reported
    // to the main window. False, writing nothing, when no log is open.
    virtual bool AppendLogRecords(std::span<const std::string_view> lines);

    // The program has had its first fix.
    virtual bool HaveFix() const { return false; }
    // The published fix time.
    virtual FixClock CurrentFixClock() const;

    // The flight-sensor-box library is loaded: its box wants DTR and RTS
    // low.
    virtual bool SensorBoxLoaded() const { return false; }

    // Puts an attached logger into NMEA output once the port is open.
    virtual void SetLoggerToNmeaMode() {}
};

// Installs the services (null: the built-in ones). They must outlive their
// use; install them while no port is open.
void SetPortReaderServices(PortReaderServices* services);
PortReaderServices& CurrentPortReaderServices();

}  // namespace gps
