#include "core/flarm_library.h"

std::atomic<CFLARMobject*> g_pFlarmObject{nullptr};
