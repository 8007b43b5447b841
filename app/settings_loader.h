#pragma once
// The start-up settings loader.

#include "platform/settings_store.h"

namespace app {

// Reads the start-up settings from store into the settings values of every
// subsystem, in a fixed order (several values default to or derive from
// values read before them), and runs the subsystems' start-up steps that
// need those values on the way: map module, fonts, track cache, polar,
// compass and wind settings, sound files, position-text labels, FLARM
// sounds. Writes back what the first run settles ("UseGPSvariation",
// "Variation") and restarts the "Performance" maximum. Finally starts the
// engine-noise sensor, notifying mainWindow, when "ENLset.txt" is in the
// documents folder.
//
// Runs on the user-interface thread once the port reader and the
// fix-processing thread run; no value read can make it fail or hang.
void LoadSettings(platform::SettingsStore& store, void* mainWindow);

// The same, from the program's settings (platform::AppSettings()).
void LoadSettings(void* mainWindow);

}  // namespace app
