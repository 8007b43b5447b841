#pragma once
// The flight computer's application object: start-up when wx has started,
// shut-down after the main window has gone.

#include <wx/app.h>

#include "app/startup.h"

class CFlightComputerApp : public wxApp {
  public:
    bool OnInit() override;
    int OnExit() override;

  private:
    // SIGTERM (logout, system shut-down) and SIGINT close the main window as
    // its close command does, so the flight log is closed properly.
    static void OnTerminationSignal(int signal);
    void CloseMainWindow();
    void FinishExit(int code);

    app::ProgramState state_;
    bool closeRequested_ = false;
    bool started_ = false;
};
