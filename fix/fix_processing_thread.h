#pragma once
// The fix-processing thread: woken by DataAvailableEvent after each commit
// and by redraw requests (SignalNewGpsData), it serves the requests, takes
// the committed fix under FixLock, publishes it (one NavSnapshot), writes
// the instrument texts and has the position texts rebuilt. It is the only
// reader of CurrentFix. Nothing it calls runs under FixLock.

#include <cstdint>
#include <stop_token>

#include "fix/fix_publication.h"

namespace gps {

// What the thread keeps from one wake to the next; tests drive it without
// the thread.
class FixProcessor {
  public:
    // One wake: the pending redraw requests first, then the fix committed
    // since the last wake, if any. Stops early, between publishing and the
    // texts, when stop is requested.
    void Pass(const std::stop_token& stop = {});

  private:
    FixPublisher publisher_;
};

// Starts the thread (after InitGpsData); false when it runs already.
bool StartFixProcessing();

// Asks the thread to stop, wakes it and waits up to timeoutMs. True when it
// ended; one that overruns is left to end by itself.
bool StopFixProcessing(std::uint32_t timeoutMs);

bool FixProcessingRunning();

}  // namespace gps
