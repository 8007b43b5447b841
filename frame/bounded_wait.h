#pragma once
// Waiting for a worker to finish, with a time limit, by looking again and
// again: the main window's close waits like this for the map reader, a
// replay and the fix-processing thread.

#include <chrono>
#include <functional>

namespace frame {

// Sleeps in steps of `step` while busy() holds, at most about `limit`.
// True when busy() stopped holding, false when the limit ran out.
bool WaitWhileBusy(const std::function<bool()>& busy, std::chrono::milliseconds limit,
                   std::chrono::milliseconds step);

}  // namespace frame
