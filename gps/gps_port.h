#pragma once
// The GPS port: the one serial port (or the local gpsd) the flight computer
// takes its fixes from, and the reader thread that serves it.
//
// Open and close come from the user-interface side (start-up, the frame's
// port commands, the logger declaration); a close ends the port for good.
// The reader only reopens a port that went away under it (ReopenLostGpsPort). The open
// device is shared with the reader under GpsPortLock: every call the
// reader makes on the port takes the device under the lock and checks that
// it is still the open port, so a port closed (or reopened) under the
// reader is never used, and a descriptor is never closed while a call on it
// runs.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/critical_section.h"
#include "platform/serial_device.h"
#include "platform/serial_port.h"
#include "platform/serial_port_names.h"

namespace gps {

// Guards the open device and every call on it, the baud text and the port
// dialog's state. Held only around single calls, never while waiting.
inline platform::CriticalSection GpsPortLock;

inline constexpr std::wstring_view kDefaultGpsPortName = L"COM1:";
// How long closing waits for the reader; one that takes longer is left to
// end by itself.
inline constexpr std::uint32_t kReaderStopLimitMs = 5000;

// Opens the port `name` stands for (empty: "COM1:") at the configured rate
// and starts the reader; a port already open is closed first. False when it
// cannot be opened: the user has been told why, except for "#gpsAPI" when
// no gpsd answers.
bool OpenGpsPort(std::wstring_view name);

// Stops the reader, drops DTR and RTS and closes the port. Returns 1.
int CloseGpsPort();

// Runs the open port at rate; on success the rate becomes the configured
// one (g_baudRate) and the baud text. The port dialog, when open, is told
// the rate in force either way. False without a port or when the device
// refuses the rate.
bool SetGpsPortBaud(std::uint32_t rate);

// Sends bytes to the instrument. A failed write is reported to the main
// window (WM_APP_LOGWRITEERROR with the error number). False without a port
// or when the write failed.
bool WriteGpsPortByte(std::uint8_t byte);
bool WriteToGps(std::span<const std::uint8_t> bytes);
// Waits until what was written to the instrument has been sent.
void DrainGpsPort();

bool GpsPortOpen();
// Something has been received since the port was opened.
bool GpsPortDataSeen();
// The name the open port was opened under ("COM1:" for an empty name).
std::wstring GpsPortName();

// The rate as the port dialog shows it ("4800" at load).
std::wstring GpsPortBaudText();
void SetGpsPortBaudText(std::wstring_view text);

// Opening the device a port name stands for.
struct GpsDeviceOpenResult {
    std::unique_ptr<platform::SerialDevice> device;  // null on failure
    platform::SerialPort::OpenStep failedStep = platform::SerialPort::OpenStep::kOpen;
    int error = 0;  // system error number of the failure
};
using GpsDeviceOpener =
    std::function<GpsDeviceOpenResult(const platform::PortTarget& target, std::uint32_t baudRate)>;

// The built-in way: the serial device at baudRate, or the local gpsd.
GpsDeviceOpenResult OpenGpsDevice(const platform::PortTarget& target, std::uint32_t baudRate);
// Replaces the built-in way (tests put their own devices in); null restores
// it. Takes effect at the next OpenGpsPort.
void SetGpsDeviceOpener(GpsDeviceOpener opener);

// The receiver's link as the pilot is shown it: kLost from when the open
// port went away (unplugged, or its other end closed) until the reader has
// reopened it by its name, then kBack until the port is next opened or
// closed. Never shown in a box.
enum class GpsLink { kUp, kLost, kBack };
GpsLink CurrentGpsLink();
// "GPS lost" or "GPS back" from the resource bundle; empty while kUp. For
// the status texts and the port dialog.
std::wstring GpsLinkText();

// The reader's side. The open device (null when none); hold GpsPortLock
// while using it as the open port.
std::shared_ptr<platform::SerialDevice> GpsPortDevice();
void MarkGpsDataSeen();

// The reader found `lost` hung up: when it is still the open port, the link
// becomes kLost (the port dialog, when open, is told).
void MarkGpsPortLost(const std::shared_ptr<platform::SerialDevice>& lost);

// Reopens a lost port for its reader: when `lost` is still the open port
// (nobody closed or reopened it), opens the device its name stands for now
// (a link resolved anew) at the configured rate, with the DTR/RTS rule of
// OpenGpsPort and without its error box, and makes it the open port (the
// link becomes kBack). Null when that cannot be done now; the reader tries
// again later. Never waits for an open or close in progress.
std::shared_ptr<platform::SerialDevice> ReopenLostGpsPort(
    const std::shared_ptr<platform::SerialDevice>& lost);

}  // namespace gps
