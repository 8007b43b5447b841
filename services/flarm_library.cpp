#include "services/flarm_library.h"

std::atomic<CFLARMobject*> g_pFlarmObject{nullptr};

namespace core {

FlarmEntryPoints g_flarm;
platform::DynamicLibrary g_hFlarmLibrary;

}  // namespace core
