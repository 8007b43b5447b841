#pragma once
// Quorlin's small dialogs: the input form (133) in its number and
// coordinate modes, the elevation thresholds (129) and the "Program
// Options" sheet with its "E00 Options" (106) and "Land Cover" (136) pages.
// Each is a thin window over the pure rules of input_form.h and the
// settings of quorlin_settings.h. UI thread only.

#include <wx/dialog.h>

#include <optional>
#include <string_view>

#include "platform/gui/ddx.h"
#include "platform/settings_store.h"
#include "tools/quorlin/input_form.h"
#include "tools/quorlin/quorlin_settings.h"

class wxNotebook;

namespace quorlin {

class CInputFormDlg : public wxDialog {
  public:
    enum Mode { kNumber = 2, kCoordinates = 102 };
    CInputFormDlg(wxWindow* parent, Mode mode, std::string_view prompt);
    bool Loaded() const { return loaded_; }

    double number = 0.0;
    CoordinateForm coordinates;

    // The OK button: reads the controls; false (with the box shown) when
    // they are refused and the form stays open.
    bool Accept();
    // Shows the members in the controls.
    void ShowValues();

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX);
    void OnOk(wxCommandEvent& event);
    Mode mode_;
    bool loaded_ = false;
};

std::optional<double> RunNumberForm(wxWindow* parent, std::string_view prompt, double initial);
std::optional<Corner> RunCoordinateForm(wxWindow* parent, std::string_view prompt, Corner initial);

class CThresholdsDlg : public wxDialog {
  public:
    CThresholdsDlg(wxWindow* parent, platform::SettingsStore& store);
    bool Loaded() const { return loaded_; }
    Thresholds levels;
    // The OK button: checks and writes the levels; false when refused.
    bool Accept();

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX);
    void OnOk(wxCommandEvent& event);
    platform::SettingsStore& store_;
    bool loaded_ = false;
};
// True when new levels were stored.
bool RunThresholdsDialog(wxWindow* parent, platform::SettingsStore& store);

class COptionsSheet : public wxDialog {
  public:
    COptionsSheet(wxWindow* parent, platform::SettingsStore& store, QuorlinOptions& options);
    bool Loaded() const { return loaded_; }
    void SelectPage(int page);
    // The sheet's OK: the E00 page's values checked, kept and written.
    bool Accept();
    // The land-cover "Set" button of a class, with the colour chosen.
    void SetLandCover(int index, std::uint32_t colorref);

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX);
    void OnOk(wxCommandEvent& event);
    void OnReset(wxCommandEvent& event);
    void OnSetColour(wxCommandEvent& event);
    void ShowSwatches();
    platform::SettingsStore& store_;
    QuorlinOptions& options_;
    E00Options e00_;
    wxNotebook* notebook_ = nullptr;
    wxWindow* e00Page_ = nullptr;
    wxWindow* landPage_ = nullptr;
    bool loaded_ = false;
};
void ShowProgramOptions(wxWindow* parent, platform::SettingsStore& store, QuorlinOptions& options);

}  // namespace quorlin
