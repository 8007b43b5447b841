#pragma once
// Windows that fit the screen they open on. A cockpit display may be as
// small as 800 x 480, and a dialog reaching past its edge has buttons
// nobody can press: every dialog is kept within the work area of the
// display its parent lies on (the whole display less panels) and placed
// over its parent. UI thread only.

#include <wx/gdicmn.h>

class wxDialog;
class wxTopLevelWindow;
class wxWindow;

namespace platform::gui {

// The work area of the display `window` lies on (the primary display's
// when it lies on none or is null).
wxRect WorkAreaOf(const wxWindow* window);

// `size` placed centred over `over` (the work area's centre when `over`
// is empty) and moved, then cut, so that it lies within `area`.
wxRect PlaceWithin(const wxRect& area, const wxSize& size, const wxRect& over);

// Shrinks `window` to the work area of its parent's display when it is
// larger, and places it over its parent within that area. A window whose
// layout cannot shrink that far has its controls moved into a scrolled
// pane first (once: the pane's own size then fits).
void FitOnScreen(wxTopLevelWindow& window);

// FitOnScreen, then the dialog's modal loop; its result.
int ShowModalOnScreen(wxDialog& dialog);

}  // namespace platform::gui
