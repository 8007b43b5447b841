#pragma once
// Binding the FLARM library at start-up and letting it go at exit.

#include <cstdint>

#include "platform/dynamic_library.h"
#include "platform/settings_store.h"
#include "services/flarm_library.h"

namespace app {

// What the program writes into the library's object ("Settings").
struct FlarmSettings {
    std::int32_t sounds = 15;   // "FLARMsounds"
    std::int32_t showTcas = 1;  // "FLARMshowTCAS"
    std::int32_t climb = 0;     // "FLARMclimb"
};

FlarmSettings ReadFlarmSettings(const platform::SettingsStore& store);

enum class FlarmBinding {
    kAbsent,    // no library: FLARM support off, nothing said
    kRejected,  // loaded but incomplete, of another version or without an object
    kBound,     // g_pFlarmObject set
};

// Takes over `library` (kept in core::g_hFlarmLibrary whenever it is open)
// and binds it when every entry point is there and the version is 0x3003:
// the object's fields get `settings` and `writeGpsPort`. The logger entry
// points are kept only for a logger type of 0x2100 and above (second byte).
// A rejected library shows string 2575 under caption 2574 and stays loaded.
// Call before any thread that uses FLARM runs.
FlarmBinding BindFlarmLibrary(platform::DynamicLibrary library, const FlarmSettings& settings,
                              FlarmGpsPortWriter writeGpsPort);

// "FLARM_DLL.dll" beside the program, the program's settings, the GPS port.
FlarmBinding BindFlarmLibrary();

// Clears the object and the entry points and unloads the library. Call
// after every thread that used them has ended.
void UnbindFlarmLibrary();

// Hands a FLARM sentence to the bound library (gps::SetFlarmTransfer).
void TransferToFlarm(int type, const char* text, float trueCourse, float windCorrectionAngle,
                     int reserved);

}  // namespace app
