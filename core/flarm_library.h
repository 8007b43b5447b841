#pragma once
// The FLARM library's object, bound at start-up when "FLARM_DLL.dll" loads.
// FLARM support is present exactly when g_pFlarmObject is not null; the
// sentence reader tests it from its own thread, hence the atomic.

#include <atomic>

struct CFLARMobject;

extern std::atomic<CFLARMobject*> g_pFlarmObject;

inline bool FlarmPresent() { return g_pFlarmObject.load(std::memory_order_acquire) != nullptr; }
