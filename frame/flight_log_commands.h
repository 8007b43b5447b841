#pragma once
// The main window's flight-log and replay commands: start a log (32783),
// replay a flight (32805, the same item stops a running replay), and the
// replay's end (WM_USER_REPLAYDONE). Also the wx save dialog the recorder
// asks for a log file with. UI thread only.

#include <wx/event.h>

class wxFrame;

namespace frame {

inline constexpr int kCommandStartFlightLog = 32783;
inline constexpr int kCommandReplayFlight = 32805;

// Binds the commands to frame's menu and installs the save dialog.
void BindFlightLogCommands(wxFrame& frame);

// The replay command: opens a recorded flight and starts its replay, or
// stops the replay that runs.
void OnReplayFlight(wxFrame& frame);

// WM_USER_REPLAYDONE: the menu item back to "replay", the replay flag off
// and the replay's end steps (circling wind, contest, speed to fly).
void OnReplayFinished(wxFrame& frame);

}  // namespace frame
