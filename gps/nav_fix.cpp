#include "gps/nav_fix.h"

#include <mutex>

namespace gps {
namespace {

struct Published {
    std::mutex mutex;  // held only to copy or swap the pointer
    std::shared_ptr<const NavSnapshot> snapshot = std::make_shared<const NavSnapshot>();
};

// Made on first use, so that no start-up order of globals matters.
Published& ThePublished() {
    static Published published;
    return published;
}

}  // namespace

std::shared_ptr<const NavSnapshot> CurrentNav() {
    Published& published = ThePublished();
    const std::lock_guard lock(published.mutex);
    return published.snapshot;
}

void PublishNav(NavSnapshot snapshot) {
    auto next = std::make_shared<const NavSnapshot>(std::move(snapshot));
    Published& published = ThePublished();
    {
        const std::lock_guard lock(published.mutex);
        published.snapshot.swap(next);
    }
    // The snapshot replaced goes with `next`, outside the lock, unless a
    // reader still holds it.
}

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
    PublishNav(NavSnapshot{});
}

}  // namespace gps
