#pragma once
// The flight computer's shut-down, after the main window has closed.

#include "app/startup.h"

namespace app {

// Stops and joins every worker thread start-up started, then frees what
// they used: the map's tables, the task copy, the raw capture, the waypoint
// file and list, the track cache, the GPS port, the resource bundle, the
// glide-path tables and the external libraries. A worker that does not end
// in its time is left running and what it uses is not freed
// (state.workersLeftRunning is set). Safe to call again. Returns the exit
// code, 0.
int ExitInstance(ProgramState& state);

}  // namespace app
