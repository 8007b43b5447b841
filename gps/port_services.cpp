#include "gps/port_services.h"

#include <atomic>

#include "gps/nav_fix.h"
#include "services/flight_log.h"

namespace gps {
namespace {

PortReaderServices g_builtIn;
std::atomic<PortReaderServices*> g_installed{nullptr};

}  // namespace

bool PortReaderServices::AppendLogRecords(std::span<const std::string_view> lines) {
    const platform::CriticalSectionLock lock(core::LogFileLock);
    if (!core::g_hFlightLog.IsOpen()) return false;
    for (const std::string_view line : lines)
        core::WriteLogLine(line);
    return true;
}

FixClock PortReaderServices::CurrentFixClock() const {
    const std::shared_ptr<const NavSnapshot> published = CurrentNav();
    return {published->hours, published->minutes, static_cast<int>(published->seconds)};
}

void SetPortReaderServices(PortReaderServices* services) {
    g_installed.store(services, std::memory_order_release);
}

PortReaderServices& CurrentPortReaderServices() {
    PortReaderServices* services = g_installed.load(std::memory_order_acquire);
    return services != nullptr ? *services : g_builtIn;
}

}  // namespace gps
