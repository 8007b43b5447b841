#pragma once
// The map window behind the frame's map commands and the options pages'
// view link: both interfaces are declared where their callers live, and the
// map window below them cannot name them, so start-up installs these
// forwarders once the main window (and with it the map window) exists.
// UI thread only.

namespace map {
class CGPSmapView;
}

namespace app {

// `view` is the frame's map window (null: links without a map); the links
// hold it weakly, so they outlive it safely at exit.
void InstallMapViewLinks(map::CGPSmapView* view);
// Back to the built-in targets (exit).
void RemoveMapViewLinks();

// The DEM file command: the header dialog, then the model replaced and the
// map drawn anew (also on Cancel).
void ChooseElevationModel(map::CGPSmapView* view);

// "Convert records": each dropped point of the map offered in the
// new-waypoint dialog; one converted to a map point leaves the map (its text
// line commented out; a binary map written again).
void ConvertMapRecords(map::CGPSmapView* view);

// The map's glide-mode button: the replay's picture while a replay runs (a
// press then holds the replay), else the glide mode's (a press switches
// the polar's use).
void ShowGlideModeButton(map::CGPSmapView* view, bool replaying);

}  // namespace app
