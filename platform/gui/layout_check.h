#pragma once
// What keeps a window usable on a small screen, checked on the window as
// shown: it lies within the screen, each of its shown controls lies within
// it (or within the scrolled pane that reaches it), and no control's label
// is wider or taller than the control. The cockpit-screen tests check every
// window with it, in their own process or in the running program's through
// its test control. UI thread only.

#include <wx/gdicmn.h>

#include <string>
#include <vector>

class wxWindow;

namespace platform::gui {

// One line for each fault found, naming the control and where it lies;
// empty when the window passes. `screen` in screen coordinates.
std::vector<std::string> LayoutFaults(const wxWindow& window, const wxRect& screen);

}  // namespace platform::gui
