#include "platform/serial_device.h"

#include <poll.h>

namespace platform {
namespace {

constexpr std::chrono::milliseconds kFallbackSlice{20};

bool Signalled(const WakeEvent& wake) {
    pollfd entry{wake.Fd(), POLLIN, 0};
    return ::poll(&entry, 1, 0) > 0 && wake.Take();
}

}  // namespace

unsigned SerialDevice::WaitForEvents(const WakeEvent& wake, bool /*lineEvents*/) {
    for (;;) {
        if (Signalled(wake)) return port_event::kWoken;
        switch (WaitForData(kFallbackSlice)) {
            case DataWait::kData:
                return port_event::kData;
            case DataWait::kHangUp:
                return port_event::kHangUp;
            case DataWait::kTimeout:
                break;
        }
    }
}

PropertiesQuery SerialDevice::QueryProperties() {
    return {};
}

ReadTimeoutsResult SerialDevice::SetReadTimeouts() {
    return {};
}

}  // namespace platform
