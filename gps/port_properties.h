#pragma once
// The "Performance" records of the GPS port: what the port can do as it was
// opened ("lastCommProp") and after its queues were set up ("setCommProp"),
// each the 64-byte record of platform/comm_properties.h. Nobody reads them
// back; they tell whoever looks at the settings what the port offered.

#include "platform/serial_device.h"

namespace gps {

// The queue sizes asked for, in bytes. There is no call to set a
// terminal's queues, so the first sizes asked for always stand.
inline constexpr std::uint32_t kGpsPortRxQueue = 8192;
inline constexpr std::uint32_t kGpsPortTxQueue = 512;

struct PortPropertiesOutcome {
    enum class Failed {
        kNone,
        kFirst,   // the port cannot be used
        kSecond,  // after the set-up; the port can still be used
    };
    Failed failed = Failed::kNone;
    int error = 0;  // the system error number of the failed look
};

// Looks at what device can do, stores "lastCommProp", sets up the queues,
// looks again and stores "setCommProp" with the queue sizes. Stops at the
// first failure.
PortPropertiesOutcome RecordGpsPortProperties(platform::SerialDevice& device);

}  // namespace gps
