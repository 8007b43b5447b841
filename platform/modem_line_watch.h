#pragma once
// Watches the modem input lines (CTS, DSR, RING, carrier detect) of a serial
// port from a helper thread that sleeps in the driver until one changes
// (TIOCMIWAIT) and then signals a WakeEvent. So a reader waiting in poll()
// hears of line changes without ever polling the lines.
//
// Drivers that cannot wait for the lines (pseudo-terminals, some USB
// adapters) refuse at once; the helper then ends and Supported() turns
// false: such a port reports no line changes. A port that hangs up ends the
// helper too.
//
// The destructor interrupts the driver wait with a signal reserved for it
// (its handler does nothing) and joins the helper; it must run before the
// descriptor is closed.

#include <pthread.h>

#include <atomic>
#include <functional>
#include <thread>

#include "platform/wake_event.h"

namespace platform {

class ModemLineWatch {
  public:
    // Starts watching fd; every change signals `changed`, which must outlive
    // the watch.
    ModemLineWatch(int fd, const WakeEvent& changed);
    // The same with another wait for a change in place of the driver's
    // (tests): 0 for a change, else -1 with errno set; EINTR waits again
    // unless stopping.
    ModemLineWatch(std::function<int()> wait, const WakeEvent& changed);
    ~ModemLineWatch();
    ModemLineWatch(const ModemLineWatch&) = delete;
    ModemLineWatch& operator=(const ModemLineWatch&) = delete;

    // False once the driver refused to wait for the lines (or the port hung
    // up).
    bool Supported() const { return supported_.load(); }

  private:
    void Run(const std::function<int()>& wait, const WakeEvent& changed);

    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> supported_{true};
    std::thread thread_;
};

}  // namespace platform
