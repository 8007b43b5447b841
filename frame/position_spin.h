#pragma once
// A spin control for the position page and its glide panel: two buttons,
// up and down, stacked in a tall control and side by side in a wide one, that send wxEVT_SPIN_UP and wxEVT_SPIN_DOWN with
// the control's id, as a vertical spin button does. GTK draws its spin
// button as a wide side-by-side pair, of which the page's narrow slots
// would show one half. UI thread only.

#include <wx/window.h>

class wxButton;

namespace frame {

class PositionSpin : public wxWindow {
  public:
    PositionSpin(wxWindow* parent, int id, const wxPoint& position, const wxSize& size);

    void SetRange(int minimum, int maximum);
    void SetValue(int value);
    int GetValue() const { return value_; }
    int GetMin() const { return minimum_; }
    int GetMax() const { return maximum_; }

    // What a press of a button does (also for tests).
    void Press(bool up);

  private:
    void OnSize(wxSizeEvent& event);

    wxButton* up_ = nullptr;    // owned by the window
    wxButton* down_ = nullptr;
    int minimum_ = 0;
    int maximum_ = 100;
    int value_ = 0;
};

}  // namespace frame
