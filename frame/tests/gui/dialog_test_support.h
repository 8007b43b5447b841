#pragma once
// What the waypoint and task dialog tests share: the built resource bundle,
// running a dialog modally while a step drives it from inside its loop, and
// reaching a dialog that a click opened on top of it.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/textentry.h>
#include <wx/timer.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/dynamic_library.h"
#include "platform/gui/resource_bundle.h"
#include "services/string_resources.h"

namespace frame::testing {

inline const std::filesystem::path kBinaryDir = KV_BINARY_DIR;

inline std::shared_ptr<const platform::gui::ResourceBundle> OpenBuiltBundle() {
    platform::DynamicLibrary library =
        platform::DynamicLibrary::Open((kBinaryDir / platform::gui::kResourceBundleFile).string());
    if (!library) return nullptr;
    return std::make_shared<const platform::gui::ResourceBundle>(std::move(library));
}

// A test suite that installs the built bundle as the string provider for
// its tests.
class BundleSuite : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        installation_ = std::make_unique<platform::gui::ResourceBundleInstallation>(OpenBuiltBundle());
        core::SetStringProvider(&platform::gui::BundleString);
    }
    static void TearDownTestSuite() {
        core::SetStringProvider(nullptr);
        installation_.reset();
    }

    static inline std::unique_ptr<platform::gui::ResourceBundleInstallation> installation_;
};

inline std::filesystem::path Screenshot(const std::string& name) {
    std::filesystem::create_directories(kBinaryDir / "screenshots");
    return kBinaryDir / "screenshots" / name;
}

// Runs `run` (which shows a dialog modally); `drive` acts inside the
// dialog's loop once it runs. A dialog drive left open is ended with -2.
inline int RunModal(wxDialog& dialog, const std::function<int()>& run,
                    const std::function<void()>& drive) {
    wxTheApp->CallAfter([&dialog, drive] {
        drive();
        if (dialog.IsModal()) dialog.EndModal(-2);
    });
    return run();
}

// The newest modal dialog of type T other than `except`.
template <typename T>
T* TopModal(const wxWindow* except = nullptr) {
    T* found = nullptr;
    for (wxWindow* window : wxTopLevelWindows) {
        auto* dialog = dynamic_cast<T*>(window);
        if (dialog != nullptr && dialog != except && dialog->IsModal()) found = dialog;
    }
    return found;
}

// Drives the dialog of type T that a click is about to open: a timer looks
// for it every 20 ms (in whichever event loop runs then) for up to 20 s. A
// dialog the drive left open is ended with -2.
template <typename T>
void WhenOpened(const wxWindow* opener, std::function<void(T&)> drive) {
    auto* timer = new wxTimer;
    auto tries = std::make_shared<int>(1000);
    // Deleted once its handler has returned.
    const auto done = [timer] {
        timer->Stop();
        wxTheApp->CallAfter([timer] { delete timer; });
    };
    timer->Bind(wxEVT_TIMER, [done, tries, opener, drive](wxTimerEvent&) {
        T* dialog = TopModal<T>(opener);
        if (dialog == nullptr) {
            if (--*tries <= 0) done();
            return;
        }
        done();
        drive(*dialog);
        if (dialog->IsModal()) dialog->EndModal(-2);
    });
    timer->Start(20);
}

inline void Type(wxWindow& dialog, int id, const wxString& text) {
    if (auto* entry = dynamic_cast<wxTextEntry*>(dialog.FindWindow(id))) entry->ChangeValue(text);
}

inline std::wstring TextOf(wxWindow& dialog, int id) {
    wxWindow* control = dialog.FindWindow(id);
    if (auto* entry = dynamic_cast<wxTextEntry*>(control)) return entry->GetValue().ToStdWstring();
    return control != nullptr ? control->GetLabel().ToStdWstring() : std::wstring();
}

// A click as the control would send it: a button press, or a check box
// toggled.
inline void Click(wxWindow& dialog, int id) {
    wxWindow* control = dialog.FindWindow(id);
    if (control == nullptr) return;
    auto* box = dynamic_cast<wxCheckBox*>(control);
    wxCommandEvent click(box != nullptr ? wxEVT_CHECKBOX : wxEVT_BUTTON, id);
    if (box != nullptr) {
        box->SetValue(!box->GetValue());
        click.SetInt(box->GetValue() ? 1 : 0);
    }
    click.SetEventObject(control);
    control->ProcessWindowEvent(click);
}

}  // namespace frame::testing
