#include "recorder/flight_log_file.h"

#include <unistd.h>

#include "core/flight_log.h"
#include "core/settings_values.h"

namespace recorder {
namespace {

// The IGC security records that end a log; the digest writer fills this in.
void WriteIgcSecurityRecords() {}

}  // namespace

// The log writer fills this in; until then no log is opened.
void StartFlightLog(int /*mode*/, int /*flags*/) {}

void CloseFlightLog() {
    const platform::CriticalSectionLock lock(core::LogFileLock);
    if (!core::g_hFlightLog.IsOpen()) return;
    if (core::g_logFormat.load() == 1) WriteIgcSecurityRecords();
    ::fdatasync(core::g_hFlightLog.Fd());
    core::g_hFlightLog.Close();
    core::g_dateHeaderOffset = -1;
}

}  // namespace recorder
