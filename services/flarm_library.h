#pragma once
// The FLARM library "FLARM_DLL.dll": traffic sentences, the traffic window
// and warning sounds, and optionally task declaration to a logger.
//
// The library is an external shared object with plain C entry points (the
// names below). It hands out one object, CFLARMobject, whose first fields
// the program fills in; the library's own data follows them. Start-up binds
// the library (app/flarm_binding.h) before any other thread runs and
// shut-down unbinds it after every thread has ended, so the entry points
// are read without a lock.
//
// FLARM support is present exactly when g_pFlarmObject is not null; the
// sentence reader tests it from its own thread, hence the atomic.

#include <atomic>
#include <cstdint>

#include "platform/dynamic_library.h"

extern "C" {

// Writes bytes to the GPS port (the FLARM unit hangs on it) under the
// port's lock, whichever port is open at the time; the number of bytes
// written, 0 without a port or on failure.
typedef int (*FlarmGpsPortWriter)(const unsigned char* bytes, unsigned count);

// The start of the library's object: what the program tells the library.
struct CFLARMobject {
    std::int32_t sounds;              // "FLARMsounds": which warnings sound
    FlarmGpsPortWriter writeGpsPort;  // the GPS port and its lock
    std::int32_t showTcas;            // "FLARMshowTCAS": the traffic window is shown
    std::int32_t climb;               // "FLARMclimb": climb rates are shown
};

// The entry points, by their exported names.
typedef int (*GetDLLversionFn)(void);
typedef CFLARMobject* (*GetFLARMobjectFn)(void* reserved);
typedef void (*SetSoundPathsFn)(const wchar_t* folder);
typedef void (*TerminateThreadsFn)(CFLARMobject* object);
typedef void (*TransferDataFn)(int sentenceType, const char* text, float trueCourse,
                               float windCorrectionAngle, CFLARMobject* object);
typedef void* (*CreateTCASwindowFn)(CFLARMobject* object, void* parent, unsigned controlId);
typedef void (*CloseWindowFn)(CFLARMobject* object);
typedef int (*DeclareTaskToLoggerFn)(int mode, std::int32_t value, void* task, void* first,
                                     void* second, void* third);
typedef int (*GetLoggerTypeFn)(void);

}  // extern "C"

extern std::atomic<CFLARMobject*> g_pFlarmObject;

inline bool FlarmPresent() {
    return g_pFlarmObject.load(std::memory_order_acquire) != nullptr;
}

// The FLARM object's climb-display option ("FLARMclimb"); 0 without FLARM.
inline int FlarmClimbDisplay() {
    const CFLARMobject* flarm = g_pFlarmObject.load(std::memory_order_acquire);
    return flarm != nullptr ? flarm->climb : 0;
}

namespace core {

inline constexpr char kFlarmLibraryFile[] = "FLARM_DLL.dll";
// The only library version the program works with.
inline constexpr int kFlarmLibraryVersion = 0x3003;

// The bound entry points; all null while FLARM support is off.
struct FlarmEntryPoints {
    GetDLLversionFn getDllVersion = nullptr;
    GetFLARMobjectFn getFlarmObject = nullptr;
    SetSoundPathsFn setSoundPaths = nullptr;
    TerminateThreadsFn terminateThreads = nullptr;
    TransferDataFn transferData = nullptr;
    CreateTCASwindowFn createTcasWindow = nullptr;
    CloseWindowFn closeWindow = nullptr;
    // Only while the library can declare tasks to a logger.
    DeclareTaskToLoggerFn declareTaskToLogger = nullptr;
    GetLoggerTypeFn getLoggerType = nullptr;
    // What GetLoggerType answered at start-up (0: no logger).
    int loggerType = 0;
};

extern FlarmEntryPoints g_flarm;

// The loaded library, whether or not it was accepted (a rejected library
// stays loaded until exit, unused).
extern platform::DynamicLibrary g_hFlarmLibrary;

}  // namespace core
