#pragma once
// Critical sections are re-entrant: the thread that holds one may enter it
// again (a handler that takes a lock may call another that takes the same
// lock). Each shared lock is an object with static lifetime, so it outlives
// every thread that uses it.

#include <mutex>

namespace platform {

using CriticalSection = std::recursive_mutex;

// Holds a critical section for the lifetime of a scope.
using CriticalSectionLock = std::lock_guard<CriticalSection>;

}  // namespace platform
