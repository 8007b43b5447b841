#pragma once
// Opening and closing the flight log (the frame's commands and its close).

namespace recorder {

// Opens a new flight log in the log folder and writes its header records
// (the frame's "start flight log" command passes 0, 0).
void StartFlightLog(int mode, int flags);

// Under LogFileLock: ends an IGC log with its security records, flushes the
// log to the disk and closes it. Nothing when no log is open.
void CloseFlightLog();

}  // namespace recorder
