#pragma once
// A wake-up another thread can wait for in poll() beside its devices: a
// counter that Signal() raises and Take() empties (an eventfd). Signals are
// never lost: one given before the wait begins ends the wait at once.
// Signal() and Take() are safe from any thread.

#include "platform/unique_fd.h"

namespace platform {

class WakeEvent {
  public:
    WakeEvent();  // Valid() is false when the system had no descriptor left

    bool Valid() const { return fd_.Valid(); }
    // For poll(): readable while signalled.
    int Fd() const { return fd_.Get(); }

    void Signal() const;
    // Empties the counter; true when it had been signalled.
    bool Take() const;

  private:
    UniqueFd fd_;
};

}  // namespace platform
