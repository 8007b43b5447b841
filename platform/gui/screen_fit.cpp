#include "platform/gui/screen_fit.h"

#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
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

namespace {

constexpr int kScrollStep = 10;

// Moves the window's controls and its sizer into a scrolled pane that
// fills it, so a layout taller or wider than the screen is scrolled
// through instead of cut or squeezed.
void ScrollContents(wxTopLevelWindow& window, const wxSize& room) {
    wxSizer* contents = window.GetSizer();
    if (contents == nullptr) return;
    window.SetSizer(nullptr, false);
    auto* pane = new wxScrolledWindow(&window, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                      wxVSCROLL | wxHSCROLL | wxTAB_TRAVERSAL);
    // The room the screen leaves, however large its contents.
    pane->SetMinSize(room);
    const wxWindowList children = window.GetChildren();
    // Only what the layout places: a frame's bars stay where they are. A
    // static box sizer's box is not an item of the sizer, but the controls
    // it frames are its children and must move with it.
    for (wxWindow* child : children)
        if (child != pane && !child->IsTopLevel() &&
            (contents->GetItem(child, true) != nullptr || dynamic_cast<wxStaticBox*>(child) != nullptr))
            child->Reparent(pane);
    pane->SetSizer(contents);
    pane->SetScrollRate(kScrollStep, kScrollStep);
    pane->FitInside();
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(pane, wxSizerFlags(1).Expand());
    window.SetSizer(column);
}

}  // namespace

void FitOnScreen(wxTopLevelWindow& window) {
    const wxWindow* parent = window.GetParent();
    const wxRect area = WorkAreaOf(parent != nullptr ? parent : &window);
    const wxRect over = parent != nullptr ? parent->GetScreenRect() : wxRect();
    const wxSize size = window.GetSize();
    // The room the layout needs against the room the screen leaves it.
    const wxSize decorations = size - window.GetClientSize();
    const wxSize least = window.GetSizer() != nullptr ? window.GetSizer()->GetMinSize() : wxSize();
    if (least.x > area.width - decorations.x || least.y > area.height - decorations.y) {
        window.SetMinSize(wxDefaultSize);
        ScrollContents(window, wxSize(std::min(least.x, area.width - decorations.x),
                                      std::min(least.y, area.height - decorations.y)));
    }
    window.SetSize(PlaceWithin(area, size, over));
    window.Layout();
}

int ShowModalOnScreen(wxDialog& dialog) {
    FitOnScreen(dialog);
    return dialog.ShowModal();
}

}  // namespace platform::gui
