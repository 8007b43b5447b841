#pragma once
// The programs' colour chooser. The desktop's own chooser keeps a size and
// a layout of its own that no program can fit to a cockpit screen; this one
// is a palette of 48 basic colours beside the red, green and blue values of
// the colour chosen and its swatch, sized to the work area of its parent's
// display and placed over its parent. A click on a palette colour takes
// it; the values can be typed. UI thread only.

#include <wx/colour.h>
#include <wx/string.h>

#include <array>
#include <optional>

class wxWindow;

namespace platform::gui {

// The palette, row by row (six rows of eight).
inline constexpr int kPaletteColumns = 8;
const std::array<wxColour, 48>& BasicColours();

// Shows the chooser modally, starting at `initial`; the colour taken, or
// nothing when cancelled.
std::optional<wxColour> ChooseColour(wxWindow* parent, const wxColour& initial,
                                     const wxString& title = "Colour");

}  // namespace platform::gui
