#pragma once
// The waypoint file's open and save dialog ("Turnpoint Data"), installed
// by the main window for the waypoint file's commands. UI thread only.

class wxWindow;

namespace frame {

// Installs the chooser with `parent` as the dialogs' parent; null removes it.
void InstallWaypointFileChooser(wxWindow* parent);

}  // namespace frame
