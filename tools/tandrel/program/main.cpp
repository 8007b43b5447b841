// Tandrel: turns the DAFIF airspace files into an airspace map for the
// flight computer. The program is its main dialog; it ends when the dialog
// closes.
#include <wx/app.h>

#include <memory>

#include "platform/gui/assert_handler.h"
#include "platform/gui/bundle_entry_points.h"
#include "platform/gui/file_dialog.h"
#include "platform/gui/message_box_sink.h"
#include "platform/gui/resource_bundle.h"
#include "platform/gui/termination_watch.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/settings_store.h"
#include "platform/utf.h"
#include "services/module_services.h"
#include "tools/tandrel/gui/tandrel_dialog.h"

namespace {

class TandrelApp final : private platform::gui::TerminationSignalsBlocked, public wxApp {
  public:
    // Before the toolkit starts, so none of its assertions opens a box.
    TandrelApp() { platform::gui::InstallAssertionLogger("Tandrel"); }

    bool OnInit() override {
        SetAppName("Tandrel");
        platform::SetDefaultCaption(L"Tandrel");
        platform::SetMessageBoxSink(std::make_shared<platform::gui::WxMessageBoxSink>());
        // A termination signal cancels the main dialog, which ends the program.
        termination_ = std::make_unique<platform::gui::TerminationWatch>();
        platform::SetAppSettings(std::make_unique<platform::SettingsStore>(
            platform::SettingsStore::DefaultPath("Tandrel")));
        resources_ = std::make_unique<platform::gui::ResourceBundleInstallation>(
            std::make_shared<const platform::gui::ResourceBundle>(&ResourceXrc, &ResourceString,
                                                                  &ResourceImage));
        return resources_->XrcLoaded();
    }

    int OnRun() override {
        const std::string version = platform::ToUtf8(core::GetProgramVersionText());
        tandrel::CTandrelDlg dialog(nullptr, platform::AppSettings(),
                                    platform::ExecutableFolder() / "DAFIF", version);
        const auto chooser = [&dialog]() -> std::optional<std::filesystem::path> {
            return platform::gui::ShowFolderDialog(&dialog, "Folder of the DAFIF files",
                                                   platform::ExecutableFolder());
        };
        if (dialog.Loaded() && dialog.OpenDafifFiles(chooser)) dialog.DoModal();
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
    std::unique_ptr<platform::gui::ResourceBundleInstallation> resources_;
};

}  // namespace

wxIMPLEMENT_APP(TandrelApp);
