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
#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/toplevel.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/gui/layout_check.h"
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

inline std::filesystem::path LayoutScreenshot(const std::string& name) {
    return std::filesystem::path(KV_BINARY_DIR) / "screenshots" / "layout" / (name + ".png");
}

// The checks on a shown window, and its screenshot.
inline void ExpectFitsCockpitScreen(wxWindow& window, const std::string& name) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(platform::gui::SaveScreenshot(window, LayoutScreenshot(name))) << name;
    for (const std::string& fault :
         platform::gui::LayoutFaults(window, wxRect(0, 0, kCockpitWidth, kCockpitHeight)))
        ADD_FAILURE() << name << ": " << fault;
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

// The buttons shown in the window, its scrolled panes' included, in the
// order of the window's children.
inline std::vector<wxButton*> ShownButtons(const wxWindow& window) {
    std::vector<wxButton*> buttons;
    for (wxWindow* child : window.GetChildren()) {
        if (!child->IsShown() || child->IsTopLevel()) continue;
        if (auto* button = dynamic_cast<wxButton*>(child)) buttons.push_back(button);
        const auto inner = ShownButtons(*child);
        buttons.insert(buttons.end(), inner.begin(), inner.end());
    }
    return buttons;
}

// Presses the button as a click does.
inline void Press(wxButton& button) {
    wxCommandEvent click(wxEVT_BUTTON, button.GetId());
    click.SetEventObject(&button);
    button.ProcessWindowEvent(click);
}

// While it lives, every modal dialog that opens is checked from inside its
// loop (named `prefix`, then a count from 1) and then ended with Cancel.
class CheckEveryModal final : public wxModalDialogHook {
  public:
    explicit CheckEveryModal(std::string prefix) : prefix_(std::move(prefix)) { Register(); }
    ~CheckEveryModal() override { Unregister(); }
    CheckEveryModal(const CheckEveryModal&) = delete;
    CheckEveryModal& operator=(const CheckEveryModal&) = delete;

    // The names of the dialogs checked, in turn.
    const std::vector<std::string>& Checked() const { return checked_; }

  protected:
    int Enter(wxDialog* dialog) override {
        const std::string name = prefix_ + "_" + std::to_string(checked_.size() + 1);
        checked_.push_back(name);
        wxTheApp->CallAfter([dialog, name] {
            ExpectFitsCockpitScreen(*dialog, name);
            if (dialog->IsModal()) dialog->EndModal(wxID_CANCEL);
        });
        return wxID_NONE;
    }
    void Exit(wxDialog* /*dialog*/) override {}

  private:
    std::string prefix_;
    std::vector<std::string> checked_;
};

}  // namespace test_support
