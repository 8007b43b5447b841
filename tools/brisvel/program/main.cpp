// Brisvel: turns the shapes of ESRI shapefiles into a map for the flight
// computer. The program is its main window; it ends when the window closes.
#include <wx/app.h>

#include <filesystem>
#include <memory>

#include "platform/gui/assert_handler.h"
#include "platform/gui/bundle_entry_points.h"
#include "platform/gui/message_box_sink.h"
#include "platform/gui/resource_bundle.h"
#include "platform/gui/termination_watch.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "tools/brisvel/gui/brisvel_frame.h"
#include "tools/brisvel/symbol_list.h"

namespace {

class BrisvelApp final : private platform::gui::TerminationSignalsBlocked, public wxApp {
  public:
    // Before the toolkit starts, so none of its assertions opens a box.
    BrisvelApp() { platform::gui::InstallAssertionLogger("Brisvel"); }

    bool OnInit() override {
        SetAppName("Brisvel");
        platform::SetDefaultCaption(L"Brisvel");
        platform::SetMessageBoxSink(std::make_shared<platform::gui::WxMessageBoxSink>());
        // A termination signal closes the main window as its close command does.
        termination_ = std::make_unique<platform::gui::TerminationWatch>([this] {
            if (wxWindow* window = GetTopWindow()) window->Close();
        });
        store_ = std::make_unique<platform::SettingsStore>(platform::SettingsStore::DefaultPath("Brisvel"));
        resources_ = std::make_unique<platform::gui::ResourceBundleInstallation>(
            std::make_shared<const platform::gui::ResourceBundle>(&ResourceXrc, &ResourceString, &ResourceImage));
        if (!resources_->XrcLoaded()) return false;
        auto* frame = new brisvel::CBrisvelMainFrame(*store_, brisvel::ReadSymbolList(std::filesystem::current_path()));
        if (!frame->Loaded()) {
            frame->Destroy();
            return false;
        }
        frame->Show();
        return true;
    }

    int OnExit() override {
        termination_.reset();
        resources_.reset();
        platform::SetMessageBoxSink(nullptr);
        return wxApp::OnExit();
    }

  private:
    std::unique_ptr<platform::gui::TerminationWatch> termination_;
    std::unique_ptr<platform::SettingsStore> store_;
    std::unique_ptr<platform::gui::ResourceBundleInstallation> resources_;
};

}  // namespace

wxIMPLEMENT_APP(BrisvelApp);
