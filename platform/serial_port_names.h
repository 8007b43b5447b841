#pragma once
// What a stored GPS port name stands for, and the ports present.
//
// A name beginning with '/' is a device path. "COMn:" (also "COMn" and
// "\\.\COMn", as older settings store them) is the n-th serial port,
// /dev/ttyS(n-1). "#gpsAPI" is the local gpsd. Any other name is taken as a
// path and fails to open like a missing port.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr std::wstring_view kGpsdPortName = L"#gpsAPI";

struct PortTarget {
    enum class Kind { kDevice, kGpsd };
    Kind kind = Kind::kDevice;
    std::filesystem::path device;  // for kDevice
    friend bool operator==(const PortTarget&, const PortTarget&) = default;
};

PortTarget MapPortName(std::wstring_view name);

// The serial devices present (/dev/ttyS* with a UART behind them,
// /dev/ttyUSB*, /dev/ttyACM*, then the stable names of /dev/serial/by-id),
// each group in name order, and "#gpsAPI" last.
std::vector<std::wstring> ListSerialPorts();

// The same from other folders (tests): sysClassTty as /sys/class/tty,
// byIdFolder as /dev/serial/by-id, devFolder as /dev.
std::vector<std::wstring> ListSerialPorts(const std::filesystem::path& sysClassTty,
                                          const std::filesystem::path& byIdFolder,
                                          const std::filesystem::path& devFolder);

}  // namespace platform
