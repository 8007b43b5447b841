// A stand-in for the FLARM library: it exports the entry points the program
// binds (leaving out CloseWindow with STUB_WITHOUT_CLOSE_WINDOW, the logger
// entry points unless STUB_LOGGER_TYPE is defined), answers GetDLLversion
// with STUB_DLL_VERSION, and lets a test see what the program did with it.

#include <cwchar>

#include "services/flarm_library.h"

#define STUB_EXPORT __attribute__((visibility("default")))

namespace {

struct StubObject {
    CFLARMobject fields{};
    int terminateCalls = 0;
    int transfers = 0;
    wchar_t soundFolder[256] = {};
};

StubObject g_object;

}  // namespace

extern "C" {

STUB_EXPORT int GetDLLversion() {
    return STUB_DLL_VERSION;
}

STUB_EXPORT CFLARMobject* GetFLARMobject(void* /*reserved*/) {
    return &g_object.fields;
}

STUB_EXPORT void SetSoundPaths(const wchar_t* folder) {
    std::wcsncpy(g_object.soundFolder, folder, 255);
}

STUB_EXPORT void TerminateThreads(CFLARMobject* /*object*/) {
    ++g_object.terminateCalls;
}

STUB_EXPORT void TransferData(int /*type*/, const char* /*text*/, float /*course*/,
                              float /*windCorrectionAngle*/, CFLARMobject* /*object*/) {
    ++g_object.transfers;
}

STUB_EXPORT void* CreateTCASwindow(CFLARMobject* /*object*/, void* /*parent*/, unsigned /*id*/) {
    return nullptr;
}

#ifndef STUB_WITHOUT_CLOSE_WINDOW
STUB_EXPORT void CloseWindow(CFLARMobject* /*object*/) {}
#endif

#ifdef STUB_LOGGER_TYPE
STUB_EXPORT int DeclareTaskToLogger(int /*mode*/, std::int32_t /*value*/, void* /*task*/,
                                    void* /*first*/, void* /*second*/, void* /*third*/) {
    return 1;
}

STUB_EXPORT int GetLoggerType() {
    return STUB_LOGGER_TYPE;
}
#endif

// What the program did, for the tests.
STUB_EXPORT const wchar_t* StubSoundFolder() {
    return g_object.soundFolder;
}
STUB_EXPORT int StubTransfers() {
    return g_object.transfers;
}

}  // extern "C"
