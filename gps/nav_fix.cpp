#include "gps/nav_fix.h"

#include <memory>

namespace gps {

NavFix g_navFix;

void SignalNewGpsData(int reason) {
    bool wasIdle = false;
    {
        const platform::CriticalSectionLock lock(FixLock);
        wasIdle = g_nPendingData == 0;
        g_nPendingData |= static_cast<std::uint32_t>(reason + 1);
    }
    if (wasIdle) DataAvailableEvent.Set();
}

std::uint32_t TakePendingRequests() {
    const platform::CriticalSectionLock lock(FixLock);
    const std::uint32_t requests = g_nPendingData;
    g_nPendingData = 0;
    return requests;
}

void ResetNavFix() {
    std::destroy_at(&g_navFix);
    std::construct_at(&g_navFix);
}

}  // namespace gps
