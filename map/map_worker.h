#pragma once
// The map's worker threads run on platform::WorkerThread. Their bodies use
// the map's lists and canvases, which must outlive them: a stop waits for
// the body to return however long that takes, and never detaches.

#include <cstdint>

#include "platform/worker_thread.h"

namespace map {

inline void StopAndWait(platform::WorkerThread& thread) {
    constexpr std::uint32_t kPollMs = 1000;
    thread.RequestStop();
    while (!thread.JoinFor(kPollMs)) {
    }
}

}  // namespace map
