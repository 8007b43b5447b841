#include "frame/bounded_wait.h"

#include <thread>

namespace frame {

bool WaitWhileBusy(const std::function<bool()>& busy, std::chrono::milliseconds limit,
                   std::chrono::milliseconds step) {
    // The steady clock: the calendar clock may be set from the GPS meanwhile.
    const auto end = std::chrono::steady_clock::now() + limit;
    while (busy()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(step);
    }
    return true;
}

}  // namespace frame
