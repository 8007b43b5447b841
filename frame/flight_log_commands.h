#pragma once
// The main window's flight-log and replay commands: start a log,
// replay a flight (the same item stops a running replay), and the
// replay's end (WM_USER_REPLAYDONE). Also the wx save dialog the recorder
// asks for a log file with. UI thread only.

#include <wx/event.h>

#include <functional>

class wxFrame;

namespace frame {

// The task choice (1 chosen and made current, 2 cancelled; mode 1 at the
// start of a declaration, 0 in its confirmation loop) and the confirmation
// after a declaration (true: OK). The frame's task dialogs install them;
// until then the current task is taken and every declaration confirmed.
struct DeclarationDialogs {
    std::function<int(int mode)> selectTask;
    std::function<bool()> confirm;
};
void SetDeclarationDialogs(DeclarationDialogs dialogs);

// The declare-task command.
void OnDeclareTask(wxFrame& frame);

// Binds the commands to frame's menu and installs the save dialog.
void BindFlightLogCommands(wxFrame& frame);

// The replay command: opens a recorded flight and starts its replay, or
// stops the replay that runs.
void OnReplayFlight(wxFrame& frame);

// WM_USER_REPLAYDONE: the menu item back to "replay", the replay flag off
// and the replay's end steps (circling wind, contest, speed to fly).
void OnReplayFinished(wxFrame& frame);

}  // namespace frame
