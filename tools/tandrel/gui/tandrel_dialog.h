#pragma once
// Tandrel's main dialog (102): the conversion's options, the output file,
// Run and Done. A thin window over the conversion engine: it exchanges the
// options with its controls, keeps them in the settings store and runs the
// conversion on the UI thread, showing each airspace as it goes. While a
// conversion runs, Run, Done, Set Output File, Set Fill and closing are
// ignored. UI thread only.

#include <wx/dialog.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/gui/ddx.h"
#include "platform/settings_store.h"
#include "tools/tandrel/conversion.h"

namespace tandrel {

class CTandrelDlg : public wxDialog {
  public:
    // Asks the user for another DAFIF folder; nothing when cancelled.
    using FolderChooser = std::function<std::optional<std::filesystem::path>()>;

    // defaultFolder: "DAFIF" beside the program, used unless the store names
    // one (Options\DafifFolder).
    CTandrelDlg(wxWindow* parent, platform::SettingsStore& store,
                std::filesystem::path defaultFolder, std::string versionText);

    // Opens the DAFIF files (asking for a folder while a required one is
    // missing); false when the user gave up, and the dialog then closes.
    bool OpenDafifFiles(const FolderChooser& chooser);
    int DoModal();
    bool Loaded() const { return loaded_; }

    // What Set Output File sets; tests call it instead of the file dialog.
    void SetOutputFile(const std::filesystem::path& path);
    // Runs a conversion as the Run button does.
    void RunConversion();
    bool Running() const { return running_; }
    const TandrelOptions& Options() const { return options_; }

  private:
    void OnInitDialog(wxInitDialogEvent& event);
    void DoDataExchange(platform::gui::CDataExchange* pDX);
    void OnRun(wxCommandEvent& event);
    void OnDone(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnSetOutputFile(wxCommandEvent& event);
    void OnSetFill(wxCommandEvent& event);
    void OnBorderColourChange(wxCommandEvent& event);
    void OnAbout(wxCommandEvent& event);
    void ShowSwatches();
    void ShowRunning(bool running);

    platform::SettingsStore& store_;
    std::filesystem::path defaultFolder_;
    std::string versionText_;
    TandrelOptions options_;
    DafifFiles files_;
    bool loaded_ = false;
    bool running_ = false;
};

// The About box (100): the version line "Vostrel Version <version>".
void ShowAboutBox(wxWindow* parent, const std::string& versionText);

}  // namespace tandrel
