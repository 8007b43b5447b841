#include "platform/gui/layout_check.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/frame.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/tglbtn.h>
#include <wx/window.h>

#include <algorithm>

namespace platform::gui {
namespace {

// What a control needs beside its label: a check box's or radio button's
// mark, a button's frame.
int LabelMargin(const wxWindow& control) {
    if (dynamic_cast<const wxCheckBox*>(&control) != nullptr ||
        dynamic_cast<const wxRadioButton*>(&control) != nullptr)
        return 16;
    if (dynamic_cast<const wxAnyButton*>(&control) != nullptr) return 4;
    return 0;
}

bool ShowsLabel(const wxWindow& control) {
    return dynamic_cast<const wxStaticText*>(&control) != nullptr ||
           dynamic_cast<const wxAnyButton*>(&control) != nullptr ||
           dynamic_cast<const wxCheckBox*>(&control) != nullptr ||
           dynamic_cast<const wxRadioButton*>(&control) != nullptr;
}

std::string Describe(const wxWindow& control) {
    return std::string(wxString(control.GetClassInfo()->GetClassName()).utf8_str()) + " " +
           std::to_string(control.GetId()) + " \"" + std::string(control.GetLabel().utf8_str()) +
           "\"";
}

std::string Describe(const wxRect& rect) {
    return std::to_string(rect.x) + "," + std::to_string(rect.y) + " " + std::to_string(rect.width) +
           "x" + std::to_string(rect.height);
}

// A window that scrolls its controls: they may lie beyond it, and are
// reached by scrolling.
bool Scrolls(const wxWindow& window, int orientation) {
    return window.HasFlag(orientation == wxVERTICAL ? wxVSCROLL : wxHSCROLL) &&
           window.GetScrollRange(orientation) > window.GetScrollThumb(orientation);
}

void CheckLabel(const wxWindow& control, const wxRect& rect, std::vector<std::string>& faults) {
    if (!ShowsLabel(control) || control.GetLabel().empty()) return;
    wxClientDC dc(const_cast<wxWindow*>(&control));
    dc.SetFont(control.GetFont());
    const wxSize text = dc.GetMultiLineTextExtent(wxControl::RemoveMnemonics(control.GetLabel()));
    if (text.x + LabelMargin(control) > rect.width + 1)
        faults.push_back("the text of " + Describe(control) + " is cut");
    if (text.y > rect.height + 1) faults.push_back("the lines of " + Describe(control) + " are cut");
}

// Each shown control below `parent` within `area` (screen coordinates) and
// its label within itself.
void CheckControls(const wxWindow& parent, const wxRect& area, std::vector<std::string>& faults) {
    const bool down = Scrolls(parent, wxVERTICAL);
    const bool across = Scrolls(parent, wxHORIZONTAL);
    const bool scrolls = down || across;
    for (const wxWindow* control : parent.GetChildren()) {
        if (!control->IsShown() || control->IsTopLevel()) continue;
        const wxRect rect = control->GetScreenRect();
        // A marker of no size (a scrolled page's end) shows nothing.
        if (rect.width <= 1 && rect.height <= 1 && control->GetLabel().empty()) continue;
        const wxRect reach(across ? area.x : rect.x, down ? area.y : rect.y,
                           across ? std::min(rect.width, area.width) : rect.width,
                           down ? std::min(rect.height, area.height) : rect.height);
        // A frame's outline may reach a pixel past its page.
        if (!wxRect(area).Inflate(1).Contains(reach))
            faults.push_back(Describe(*control) + " at " + Describe(rect) + " outside " + Describe(area));
        CheckLabel(*control, rect, faults);
        // A control's own parts lie within the control.
        CheckControls(*control, scrolls ? rect : area.Intersect(rect), faults);
    }
}

}  // namespace

std::vector<std::string> LayoutFaults(const wxWindow& window, const wxRect& screen) {
    std::vector<std::string> faults;
    const wxRect outer = window.GetScreenRect();
    if (!screen.Contains(outer)) faults.push_back("the window at " + Describe(outer) + " is off the screen");
    // A frame's bars lie outside its client area but within the frame.
    const wxRect client = dynamic_cast<const wxFrame*>(&window) != nullptr
                              ? outer
                              : wxRect(window.ClientToScreen(wxPoint(0, 0)), window.GetClientSize());
    CheckControls(window, client, faults);
    return faults;
}

}  // namespace platform::gui
