#pragma once
// The flight computer's start-up: from the settings store and the resource
// bundle through the single-instance guard, the FLARM library, the main
// window, the GPS port and the worker threads to the first map redraw.
//
// Everything start-up takes that shut-down (app/shutdown.h) gives back
// is held in a ProgramState, which lives as long as the wx application.

#include <memory>

#include "app/port_services.h"
#include "app/single_instance.h"
#include "frame/main_frame.h"
#include "platform/gui/resource_bundle.h"
#include "platform/gui/ui_bridge.h"

namespace app {

// The application name: the settings' key and every box's default caption.
inline constexpr char kApplicationName[] = "KOR_VAN WinCE";

struct ProgramState {
    std::unique_ptr<platform::gui::ScopedUiBridge> uiBridge;
    // The installed bundle; its revision (the fourth number of its
    // version) is platform::gui::InstalledBundle()->Version()->revision.
    std::unique_ptr<platform::gui::ResourceBundleInstallation> bundle;
    std::unique_ptr<InstanceGuard> instanceGuard;
    ProgramPortServices portServices;
    frame::CMainFrame* frame = nullptr;  // owned by wx once created
    // Set by shut-down when a worker did not end in its time: what it uses
    // is then left alone and the process ends without cleaning up.
    bool workersLeftRunning = false;
};

// The screen the main window is laid out for: the display's size.
frame::ScreenSize MainScreenSize();

// Runs the start-up steps in order. False when start-up ended early (no
// resource bundle, another instance runs, no main window, or no GPS port
// and the user chose to stop); what was taken has then been given back.
bool InitInstance(ProgramState& state, frame::ScreenSize screen);

// Applies the screen-resolution settings: "Resolution" is read but the
// resolution class is 0, and the map's drawing sizes are put in order.
void ApplyScreenResolution();

}  // namespace app
