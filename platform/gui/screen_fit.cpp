#include "platform/gui/screen_fit.h"

#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/toplevel.h>

#include <algorithm>

namespace platform::gui {

wxRect WorkAreaOf(const wxWindow* window) {
    const int index = window != nullptr ? wxDisplay::GetFromWindow(window) : wxNOT_FOUND;
    return wxDisplay(index == wxNOT_FOUND ? 0u : static_cast<unsigned>(index)).GetClientArea();
}

wxRect PlaceWithin(const wxRect& area, const wxSize& size, const wxRect& over) {
    const int width = std::min(size.x, area.width);
    const int height = std::min(size.y, area.height);
    const wxRect centre = over.IsEmpty() ? area : over;
    const int x = centre.x + (centre.width - width) / 2;
    const int y = centre.y + (centre.height - height) / 2;
    return {std::clamp(x, area.x, area.GetRight() + 1 - width),
            std::clamp(y, area.y, area.GetBottom() + 1 - height), width, height};
}

void FitOnScreen(wxTopLevelWindow& window) {
    const wxWindow* parent = window.GetParent();
    const wxRect area = WorkAreaOf(parent != nullptr ? parent : &window);
    const wxRect over = parent != nullptr ? parent->GetScreenRect() : wxRect();
    const wxRect place = PlaceWithin(area, window.GetSize(), over);
    window.SetSize(place);
}

int ShowModalOnScreen(wxDialog& dialog) {
    FitOnScreen(dialog);
    return dialog.ShowModal();
}

}  // namespace platform::gui
