#pragma once
// The map window behind the frame's map commands and the options pages'
// view link: both interfaces are declared where their callers live, and the
// map window below them cannot name them, so start-up installs these
// forwarders once the main window (and with it the map window) exists.
// UI thread only.

namespace app {

void InstallMapViewLinks();
// Back to the built-in targets (exit).
void RemoveMapViewLinks();

// The DEM file command (32827): the header dialog, then the model replaced
// and the map drawn anew (also on Cancel).
void ChooseElevationModel();

// "Convert records" (32804): each dropped point of the map offered in the
// new-waypoint dialog; one converted to a map point leaves the map (its text
// line commented out; a binary map written again).
void ConvertMapRecords();

// The map's glide-mode button: the replay's picture while a replay runs (a
// press then holds the replay), else the glide mode's (a press switches
// the polar's use).
void ShowGlideModeButton(bool replaying);

}  // namespace app
