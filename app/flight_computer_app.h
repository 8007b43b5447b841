#pragma once
// The flight computer's application object: start-up when wx has started,
// shut-down after the main window has gone.

#include <wx/app.h>
#include <wx/modalhook.h>

#include <memory>

#include "app/startup.h"
#include "platform/gui/termination_watch.h"

class CFlightComputerApp : public wxApp {
  public:
    bool OnInit() override;
    int OnExit() override;

  private:
    // SIGTERM (logout, system shut-down), SIGINT and SIGHUP close the main
    // window as File > Exit does, once start-up stands, so the flight log is
    // closed properly; the open dialogs have been cancelled by then.
    void OnTerminationRequested();
    void CloseMainWindow();
    void FinishExit(int code);

    std::unique_ptr<platform::gui::TerminationWatch> termination_;
    std::unique_ptr<wxModalDialogHook> dialogLog_;
    app::ProgramState state_;
    bool closeRequested_ = false;
    bool started_ = false;
};
