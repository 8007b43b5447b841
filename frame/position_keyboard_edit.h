#pragma once
// The altitude edit box of the position page: a one-line text control on
// which Enter hands the focus back to the main window (a handheld's soft
// keyboard would be lowered there; the desktop has none). UI thread.

#include <wx/textctrl.h>

namespace frame {

class CKeyboardEdit : public wxTextCtrl {
  public:
    CKeyboardEdit(wxWindow* parent, int id);
    // Where Enter sends the focus; the top-level window when none is set.
    void SetFocusTarget(wxWindow* target) { focusTarget_ = target; }

  private:
    void OnEnter(wxCommandEvent& event);

    wxWindow* focusTarget_ = nullptr;
};

}  // namespace frame
