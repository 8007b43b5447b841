#pragma once
// The position page: the pane of navigation texts beside the moving map.
//
// One instance exists while the main window does; g_pPosView points to it
// (set by the frame once the pane is created). Other threads reach it only
// through window messages to platform::kPosViewWindow.

#include <wx/window.h>

#include <array>
#include <atomic>

#include "platform/gui/ui_bridge.h"

class wxTextCtrl;

namespace frame {

// Creates the position page's fonts from "baseSize" and "Family".
void CreateViewFonts();

// Which display modes the cycling field steps through (modes 0..10; the
// rest are spare). All on by default; start-up reads "ShowQueue".
inline std::array<int, 16> g_showQueueFlags{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

class CGPSposView : public wxWindow {
  public:
    CGPSposView(wxWindow* parent, const wxPoint& position, const wxSize& size);
    ~CGPSposView() override;
    CGPSposView(const CGPSposView&) = delete;
    CGPSposView& operator=(const CGPSposView&) = delete;

    // The pop-up notes window of the page (hidden until something is shown).
    wxTextCtrl& NotesWindow() const { return *notes_; }
    void SetFrame(wxWindow* frame) { frame_ = frame; }
    wxWindow* Frame() const { return frame_; }

  private:
    std::intptr_t OnWindowMessage(const platform::WindowMessage& message);
    void OnPaint(wxPaintEvent& event);

    wxWindow* frame_ = nullptr;
    wxTextCtrl* notes_ = nullptr;  // owned by the window
    platform::gui::WindowRegistration registration_;
};

// The position page; null before the frame created it and after it is gone.
inline CGPSposView* g_pPosView = nullptr;

}  // namespace frame
