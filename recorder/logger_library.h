#pragma once
// The FAI-logger library "KorVnFAI.dll" and the flight-sensor-box library
// "FSB_DLL_PC.dll": external libraries beside the program that the
// recorder uses when they are there.

#include <atomic>

namespace recorder {

// Binds the FAI-logger library (or, when the pilot wants it, the FLARM
// library's logger); 1 when a logger can take declarations, 0 otherwise.
// frame owns the question asked.
int BindLoggerLibrary(void* frame);

// Binds the flight-sensor-box library; 1 when bound.
int BindSensorBoxLibrary(void* frame);

// Start-up keeps BindLoggerLibrary's result: a logger can take declarations.
inline std::atomic<int> g_bLoggerLibraryBound{0};

// The sensor-box library is loaded (its box wants DTR and RTS low).
bool SensorBoxLoaded();

// The bound logger's type (low byte 4: it must be switched back to NMEA
// output after a declaration); 0 without a logger.
int LoggerType();

// Exit: lets the libraries go.
void FreeLoggerLibrary();
void FreeSensorBoxLibrary();

}  // namespace recorder
