#pragma once
// Opening and closing the flight log: the frame's start-log command, the
// task declaration's log and the frame's close. UI thread.
//
// Opening proposes a file name, asks for the file through the installed
// save dialog, asks the questions the file raises (free space, existing
// content) WITHOUT LogFileLock held, so the port reader goes on logging and
// committing fixes meanwhile, and only then takes the lock to attach the
// file and write its header. Lock order: LogFileLock, then the engine-noise
// sensor's lock.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/settings_values.h"

namespace recorder {

// The proposed name without folder or extension, then the chosen path.
inline core::SharedText g_strLogName;
inline core::SharedText g_strLogPath;

// What the save dialog is asked: a 1-based filter index over the filters
// text logs, IGC logs, all files.
struct LogSaveRequest {
    std::wstring title;  // "GPS Data log"
    std::filesystem::path folder;
    std::wstring name;              // proposed, with the format's extension
    std::wstring defaultExtension;  // "igc" or "gps"
    int filterIndex = 1;
};
struct LogSaveAnswer {
    std::filesystem::path path;  // as typed: the log adds the format's extension
    int filterIndex = 1;
};
// Shows the dialog; nothing when the pilot cancels. The frame installs the
// real dialog; without one every request is cancelled.
using LogSaveDialog = std::function<std::optional<LogSaveAnswer>(const LogSaveRequest&)>;
void SetLogSaveDialog(LogSaveDialog dialog);

// The map window's paint-mode flag: 1 while the log dialogs run, then the
// caller's value and a redraw. The map window installs it.
using MapPaintModeHook = std::function<void(int mode)>;
void SetMapPaintModeHook(MapPaintModeHook hook);
bool MapPaintModeHookInstalled();

enum class LogStart { kCancelled = 0, kOpened = 1, kNotCreated = 2 };

// Asks for a file and opens a new log in it (see the file comment). With
// declarationMode nonzero the IGC header stops after the A and date lines,
// because the declaration writes the rest.
LogStart StartFlightLog(int restoreMapFlag, int declarationMode);

// Under LogFileLock, when an IGC log is open: the H block from the
// "IGCHeaders" settings (which also sets the fix-accuracy factor).
void WriteIgcHeaderRecords();

// Under LogFileLock: the closing "LXKV" and G records of the open IGC log,
// folded as the digest requires, written whole or not at all; a failed
// write is tried again for up to 2 s (space may come back). Returns 0 or
// the errno of the last failed write.
int WriteIgcSecurityRecords();

// Ends an IGC log with its security records, flushes the log to the disk
// and closes it; a failed closing record is shown (after the lock is let
// go). Nothing when no log is open.
void CloseFlightLog();

}  // namespace recorder
