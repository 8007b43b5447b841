#pragma once
// Opening the pilot's waypoint file: choosing it, opening it for reading and
// writing, remembering it in the settings and loading its records into the
// waypoint list, inline or in the background.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/settings_values.h"
#include "nav/waypoint_file.h"

namespace nav {

// The open waypoint file, for the program's lifetime, and its full path
// ("WaypointFile" in "Settings").
extern CWaypointFile g_waypointFile;
inline core::SharedText g_waypointFileName;

// Asks the pilot for a waypoint file: an open dialog in open mode (with a
// create prompt), a save dialog otherwise (no overwrite prompt), starting at
// `current` and its folder, with the texts below. The chosen path, or nothing
// when cancelled. The user interface installs it; without one every choice
// is cancelled.
inline constexpr const wchar_t* kWaypointDialogTitle = L"Turnpoint Data";
inline constexpr const wchar_t* kWaypointDefaultExtension = L"dta";
inline constexpr const wchar_t* kWaypointOpenFilter =
    L"Waypoints (*.dta,*.tab)|*.tab;*.dta|All Files (*.*)|*.*||";
inline constexpr const wchar_t* kWaypointSaveFilter =
    L"Waypoints (*.dta)|*.dta|Waypoints (*.tab)|*.tab||";
using WaypointFileChooser =
    std::function<std::optional<std::wstring>(bool openMode, const std::wstring& current)>;
void SetWaypointFileChooser(WaypointFileChooser chooser);
bool WaypointFileChooserInstalled();

// Opens a waypoint file into `file`: unless noDialog, the chooser picks the
// path first (0 when cancelled). A running background load is stopped. The
// file is opened for reading and writing, created when missing; the name is
// stored in g_waypointFileName and "WaypointFile". When it opened, the
// waypoint list is emptied and filled from the file: by the background
// loader with useThread (which reports to the main window), else at once.
// Returns 1 whenever a path was chosen, also when the file could not be
// opened (its open has shown the error box and the list is untouched).
int OpenWaypointFile(CWaypointFile& file, std::wstring& path, bool openMode, bool noDialog,
                     bool useThread);

// Whether `file` is open for use: false while the background loader runs;
// when it is not open, it is opened from g_waypointFileName (with the
// chooser, inline) first.
bool EnsureWaypointFileOpen(CWaypointFile& file = g_waypointFile);

// Shut-down: stops the background loader (waiting up to timeoutMs), closes
// the waypoint file and frees the waypoint list and its map elements.
void CloseWaypoints(std::uint32_t timeoutMs);

}  // namespace nav
