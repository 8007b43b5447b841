#pragma once
// The glide settings dialog (template 229) over GlideSettingsValues, and
// the auto-detect text it and the frame keep up to date. UI thread.

#include <wx/dialog.h>

#include "frame/glide_settings.h"

class wxCommandEvent;
class wxInitDialogEvent;

namespace platform::gui {
class CDataExchange;
}

namespace frame {

class CGlideSettingsDlg final : public wxDialog {
  public:
    explicit CGlideSettingsDlg(wxWindow* parent);
    bool Loaded() const { return loaded_; }
    // wxID_OK or wxID_CANCEL; -1 without the template.
    int DoModal();
    const GlideSettingsValues& Values() const { return values_; }

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX);
    void OnInitDialog(wxInitDialogEvent& event);
    void OnOK(wxCommandEvent& event);
    void OnCheck1193(wxCommandEvent& event);
    void OnCheck1187(wxCommandEvent& event);
    void EnableNumbering();

    GlideSettingsValues values_;
    bool navigating_ = false;
    bool nextDetected_ = false;
    bool loaded_ = false;
};

// Runs the dialog; 1 after OK, 2 otherwise.
int RunGlideSettingsDialog(wxWindow* parent);

// The detected-waypoint line: with the previous-point prompt, the point
// before the target; with the next-point prompt, the point after it; shown
// as "<queue number>," and the name when numbered, else "F," and the name.
// A prompt without its point is cleared and the user told (162/163).
void UpdateAutodetectText();

}  // namespace frame
