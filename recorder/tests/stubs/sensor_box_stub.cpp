// A stand-in for the flight-sensor-box library: GetFSBdllVer answers
// STUB_FSB_VERSION; SetupFSB, GetFSBdllVer and GetFSBbox are left out with
// STUB_WITHOUT_SETUP, STUB_WITHOUT_VERSION and STUB_WITHOUT_BOX. The
// entry points the program must not call count their calls.

#include <cstdint>

#define STUB_EXPORT __attribute__((visibility("default")))

namespace {
int g_forbiddenCalls = 0;
}

extern "C" {

#ifndef STUB_WITHOUT_SETUP
STUB_EXPORT void SetupFSB(void* /*parent*/, void* /*reserved*/) {
    ++g_forbiddenCalls;
}
#endif

#ifndef STUB_WITHOUT_VERSION
STUB_EXPORT int GetFSBdllVer() {
    return STUB_FSB_VERSION;
}
#endif

#ifndef STUB_WITHOUT_BOX
STUB_EXPORT std::uint32_t GetFSBbox() {
    return 0xB0C5;
}
#endif

STUB_EXPORT int RequestPortValue(void* /*box*/) {
    return ++g_forbiddenCalls;
}
STUB_EXPORT int DecodeFSBstring(void* /*box*/, const char* /*text*/) {
    return ++g_forbiddenCalls;
}
STUB_EXPORT int GetBoxParameters(void* /*box*/, int /*which*/) {
    return ++g_forbiddenCalls;
}

STUB_EXPORT int StubForbiddenCalls() {
    return g_forbiddenCalls;
}

}  // extern "C"
