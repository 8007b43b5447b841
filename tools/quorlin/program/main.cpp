// Quorlin: converts elevation grids, ASCII grids, traced outlines and chart
// layers into the flight computer's pictures, grids and maps. The program
// is its main dialog; it ends when the dialog closes.
#include <wx/app.h>

#include <memory>

#include "platform/gui/assert_handler.h"
#include "platform/gui/bundle_entry_points.h"
#include "platform/gui/message_box_sink.h"
#include "platform/gui/resource_bundle.h"
#include "platform/gui/termination_watch.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "tools/quorlin/gui/quorlin_dialog.h"

namespace {

// The settings keep the program's own name; the windows say "Morvist".
constexpr char kApplicationName[] = "Quorlin";

class QuorlinApp final : private platform::gui::TerminationSignalsBlocked, public wxApp {
  public:
    // Before the toolkit starts, so none of its assertions opens a box.
    QuorlinApp() { platform::gui::InstallAssertionLogger("Quorlin"); }

    bool OnInit() override {
        SetAppName(kApplicationName);
        platform::SetDefaultCaption(L"Morvist");
        platform::SetMessageBoxSink(std::make_shared<platform::gui::WxMessageBoxSink>());
        // A termination signal cancels the main dialog, which ends the program.
        termination_ = std::make_unique<platform::gui::TerminationWatch>();
        settings_ = std::make_unique<platform::SettingsStore>(platform::SettingsStore::DefaultPath(kApplicationName));
        resources_ = std::make_unique<platform::gui::ResourceBundleInstallation>(
            std::make_shared<const platform::gui::ResourceBundle>(&ResourceXrc, &ResourceString, &ResourceImage));
        return resources_->XrcLoaded();
    }

    int OnRun() override {
        quorlin::CQuorlinDlg dialog(nullptr, *settings_);
        dialog.DoModal();
        return 0;
    }

    int OnExit() override {
        termination_.reset();
        resources_.reset();
        platform::SetMessageBoxSink(nullptr);
        return wxApp::OnExit();
    }

  private:
    std::unique_ptr<platform::gui::TerminationWatch> termination_;
    std::unique_ptr<platform::SettingsStore> settings_;
    std::unique_ptr<platform::gui::ResourceBundleInstallation> resources_;
};

}  // namespace

wxIMPLEMENT_APP(QuorlinApp);
