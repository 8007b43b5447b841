#pragma once
// The programs' font chooser. The desktop's own chooser fills a cockpit
// screen's whole height with a layout no program can fit; this one is the
// list of the system's font families beside the size, bold and italic, and
// a sample drawn in the font chosen, sized to the work area of its parent's
// display and placed over its parent. UI thread only.

#include <wx/font.h>
#include <wx/string.h>

#include <optional>

class wxWindow;

namespace platform::gui {

// The sizes offered, in points.
inline constexpr int kSmallestFontPoints = 4;
inline constexpr int kLargestFontPoints = 72;

// Shows the chooser modally, starting at `initial` (the system's font when
// it is not valid); the font taken, or nothing when cancelled.
std::optional<wxFont> ChooseFont(wxWindow* parent, const wxFont& initial,
                                 const wxString& title = "Font");

}  // namespace platform::gui
