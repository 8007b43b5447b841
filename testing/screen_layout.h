#pragma once
// The checks every window of the four programs passes on a cockpit screen:
// it lies within the screen, each of its shown controls lies within it,
// and no control's label is wider than the control. A screenshot of each
// window checked is kept in <build>/screenshots/layout for review.
//
// ScreenOfTheTest starts an 800 x 480 display of the test program's own
// before the toolkit opens one (construct it at namespace scope).

#include <gtest/gtest.h>
#include <stdlib.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/tglbtn.h>
#include <wx/toplevel.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/gui/screenshot.h"
#include "testing/private_display.h"
#include "testing/scratch_folder.h"

namespace test_support {

inline constexpr int kCockpitWidth = 800;
inline constexpr int kCockpitHeight = 480;

class ScreenOfTheTest {
  public:
    ScreenOfTheTest()
        : folder_(std::make_unique<ScratchFolder>("screen")),
          display_(std::make_unique<PrivateDisplay>(folder_->Path(), kCockpitWidth,
                                                    kCockpitHeight)) {
        if (!display_->Name().empty()) ::setenv("DISPLAY", display_->Name().c_str(), 1);
    }
    bool Started() const { return !display_->Name().empty(); }

  private:
    std::unique_ptr<ScratchFolder> folder_;
    std::unique_ptr<PrivateDisplay> display_;
};

namespace layout_detail {

// What a control needs beside its label: a check box's or radio button's
// mark, a button's frame.
inline int LabelMargin(const wxWindow& control) {
    if (dynamic_cast<const wxCheckBox*>(&control) != nullptr ||
        dynamic_cast<const wxRadioButton*>(&control) != nullptr)
        return 16;
    if (dynamic_cast<const wxAnyButton*>(&control) != nullptr) return 4;
    return 0;
}

inline bool ShowsLabel(const wxWindow& control) {
    return dynamic_cast<const wxStaticText*>(&control) != nullptr ||
           dynamic_cast<const wxAnyButton*>(&control) != nullptr ||
           dynamic_cast<const wxCheckBox*>(&control) != nullptr ||
           dynamic_cast<const wxRadioButton*>(&control) != nullptr;
}

inline std::string Describe(const wxWindow& control) {
    return std::string(wxString(control.GetClassInfo()->GetClassName()).utf8_str()) + " " +
           std::to_string(control.GetId()) + " \"" + std::string(control.GetLabel().utf8_str()) +
           "\"";
}

// Each shown control below `parent` within `area` (screen coordinates) and
// its label within itself.
// A window that scrolls its controls: they may lie beyond it, and are
// reached by scrolling.
inline bool Scrolls(const wxWindow& window, int orientation) {
    return window.HasFlag(orientation == wxVERTICAL ? wxVSCROLL : wxHSCROLL) &&
           window.GetScrollRange(orientation) > window.GetScrollThumb(orientation);
}

inline void CheckControls(const wxWindow& parent, const wxRect& area, const std::string& name) {
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
        EXPECT_TRUE(wxRect(area).Inflate(1).Contains(reach))
            << name << ": " << Describe(*control) << " at " << rect.x << "," << rect.y << " "
            << rect.width << "x" << rect.height << " outside " << area.x << "," << area.y << " "
            << area.width << "x" << area.height;
        if (ShowsLabel(*control) && !control->GetLabel().empty()) {
            wxClientDC dc(const_cast<wxWindow*>(control));
            dc.SetFont(control->GetFont());
            const wxSize text =
                dc.GetMultiLineTextExtent(wxControl::RemoveMnemonics(control->GetLabel()));
            EXPECT_LE(text.x + LabelMargin(*control), rect.width + 1)
                << name << ": the text of " << Describe(*control) << " is cut";
            EXPECT_LE(text.y, rect.height + 1)
                << name << ": the lines of " << Describe(*control) << " are cut";
        }
        // A control's own parts lie within the control.
        CheckControls(*control, scrolls ? rect : area.Intersect(rect), name);
    }
}

}  // namespace layout_detail

inline std::filesystem::path LayoutScreenshot(const std::string& name) {
    return std::filesystem::path(KV_BINARY_DIR) / "screenshots" / "layout" / (name + ".png");
}

// The checks on a shown window, and its screenshot.
inline void ExpectFitsCockpitScreen(wxWindow& window, const std::string& name) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(platform::gui::SaveScreenshot(window, LayoutScreenshot(name))) << name;
    const wxRect screen(0, 0, kCockpitWidth, kCockpitHeight);
    const wxRect outer = window.GetScreenRect();
    EXPECT_TRUE(screen.Contains(outer)) << name << " at " << outer.x << "," << outer.y << " "
                                        << outer.width << "x" << outer.height;
    // A frame's bars lie outside its client area but within the frame.
    const wxRect client = dynamic_cast<const wxFrame*>(&window) != nullptr
                              ? outer
                              : wxRect(window.ClientToScreen(wxPoint(0, 0)), window.GetClientSize());
    layout_detail::CheckControls(window, client, name);
}

// Runs `run`, which shows `dialog` modally as the program does; inside its
// loop `before` acts, the checks run and the dialog is ended.
inline void ExpectModalFitsCockpitScreen(wxDialog& dialog, const std::function<int()>& run,
                                         const std::string& name,
                                         const std::function<void()>& before = {}) {
    wxTheApp->CallAfter([&] {
        if (before) before();
        ExpectFitsCockpitScreen(dialog, name);
        if (dialog.IsModal()) dialog.EndModal(wxID_CANCEL);
    });
    run();
}

// Checks the next modal dialog that opens (one the code under test makes
// for itself) from inside its loop, and then ends it with Cancel.
inline void ExpectNextModalFitsCockpitScreen(const std::string& name) {
    wxTheApp->CallAfter([name] {
        wxDialog* shown = nullptr;
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* dialog = dynamic_cast<wxDialog*>(window); dialog != nullptr && dialog->IsModal())
                shown = dialog;
        ASSERT_NE(shown, nullptr) << "no dialog for " << name;
        ExpectFitsCockpitScreen(*shown, name);
        shown->EndModal(wxID_CANCEL);
    });
}

}  // namespace test_support
