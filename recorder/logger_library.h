#pragma once
// The FAI-logger library "KorVnFAI.dll" and the flight-sensor-box library
// "FSB_DLL_PC.dll": external libraries beside the program that the
// recorder uses when they are there. Both are bound by start-up on the UI
// thread before the GPS threads run and let go at exit after they ended.

#include <atomic>
#include <cstdint>

#include "platform/dynamic_library.h"
#include "recorder/logger_abi.h"
#include "services/flarm_library.h"

namespace recorder {

inline constexpr char kLoggerLibraryFile[] = "KorVnFAI.dll";
inline constexpr char kSensorBoxLibraryFile[] = "FSB_DLL_PC.dll";
// The only sensor-box library version the program works with (4.1).
inline constexpr int kSensorBoxLibraryVersion = 0x40001;

// Binds the FAI-logger library beside the program (or, when the pilot
// wants it, the FLARM library's logger); 1 when a logger can take
// declarations, 0 otherwise. frame owns the question asked.
int BindLoggerLibrary(void* frame);
// The same with the library given (not open: absent).
int BindLoggerLibrary(platform::DynamicLibrary library, void* frame);

// Binds the flight-sensor-box library beside the program; 1 when bound.
int BindSensorBoxLibrary(void* frame);
int BindSensorBoxLibrary(platform::DynamicLibrary library, void* frame);

// Start-up keeps BindLoggerLibrary's result: a logger can take declarations.
inline std::atomic<int> g_bLoggerLibraryBound{0};

// The sensor-box library is loaded (its box wants DTR and RTS low). Any
// thread.
bool SensorBoxLoaded();
// SetupFSB is bound: the frame offers the sensor-box menu item.
bool SensorBoxSetupBound();
// What GetFSBbox answered at binding; 0 without a box.
std::uint32_t SensorBoxValue();

// The bound logger's type: low byte the kind of logger (3 and 4 take a
// units word, 4 is switched back to NMEA output after a port open, 6
// declares with the GPS port open), second byte the library's version; 0
// without a logger.
int LoggerType();

// The bound DeclareTaskToLogger, the logger library's or FLARM's; null
// without one.
DeclareTaskToLoggerFn LoggerDeclareEntryPoint();

// Let the libraries go; their entry points are cleared first.
void FreeLoggerLibrary();
void FreeSensorBoxLibrary();

}  // namespace recorder
