#pragma once
// Quorlin's main dialog (102, "Morvist"): a thin window over QuorlinModel.
// It exchanges the model's state with its controls, applies the control
// layout of the input type, paints the two colour strips, and serves the
// model's questions, choosers and progress line with real windows. While an
// operation runs every command returns at once and closing is refused.
// UI thread only.

#include <wx/dialog.h>
#include <wx/timer.h>

#include <chrono>
#include <filesystem>
#include <vector>

#include "platform/gui/ddx.h"
#include "platform/settings_store.h"
#include "tools/quorlin/quorlin_model.h"

class wxPaintEvent;

namespace quorlin {

class CQuorlinDlg : public wxDialog, private QuorlinUi {
  public:
    CQuorlinDlg(wxWindow* parent, platform::SettingsStore& store);

    bool Loaded() const { return loaded_; }
    int DoModal();
    QuorlinModel& Model() { return model_; }

    // What the file dialogs of Get Data File and Set Output File set; tests
    // call them instead of the file dialogs.
    void ChooseInput(const std::filesystem::path& path);
    void ChooseOutput(const std::filesystem::path& path);
    // Convert as the button does: the controls read back first.
    void Convert();
    // The close box, Escape and Exit; false while an operation runs.
    bool RequestClose();
    // Pushes the model's state into the controls and lays them out.
    void Refresh();

  private:
    // QuorlinUi.
    void Message(std::string_view text, Icon icon, std::string_view caption) override;
    bool Ask(std::string_view text, std::string_view title) override;
    void Progress(std::string_view text) override;
    void Pump() override;
    void EnableDialog(bool enable) override;
    std::optional<ChosenFile> ChooseOpenFile(const FileChoice& choice) override;
    std::optional<ChosenFile> ChooseSaveFile(const FileChoice& choice) override;
    std::optional<Bgr> ChooseColour() override;
    std::optional<double> InputNumber(std::string_view prompt, double initial) override;
    std::optional<Corner> InputCoordinates(std::string_view prompt, Corner initial) override;
    bool EditThresholds() override;

    void OnInitDialog(wxInitDialogEvent& event);
    void DoDataExchange(platform::gui::CDataExchange* pDX);
    bool ReadControls();
    void OnClose(wxCloseEvent& event);
    void OnButton(wxCommandEvent& event);
    void OnCheck(wxCommandEvent& event);
    void OnThresholdText(wxCommandEvent& event);
    void OnMenu(wxCommandEvent& event);
    void PaintLineStrip(wxPaintEvent& event);
    void PaintElevationStrip(wxPaintEvent& event);
    void ShowOptionsSheet();
    // Puts the last progress text into the progress line and redraws it.
    void ShowProgress();

    platform::SettingsStore& store_;
    QuorlinModel model_;
    bool loaded_ = false;
    bool exchanging_ = false;
    std::vector<wxWindow*> disabled_;  // the controls an operation took out of use
    std::optional<Bgr> lastColour_;
    // Progress texts that come faster than one per 40 ms (one per ring of a
    // large layer) are shown at that rate; the last one always is.
    wxString progressText_;
    std::chrono::steady_clock::time_point progressShown_{};
    wxTimer progressTimer_;
    std::chrono::steady_clock::time_point pumped_{};
};

// The About box (100).
void ShowAboutBox(wxWindow* parent);

}  // namespace quorlin
