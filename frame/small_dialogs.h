#pragma once
// The frame's small dialogs: the about box (templates 100 / 212), the map
// export options (232) and the declare confirmation (216). UI thread.

#include <wx/dialog.h>

#include <optional>

#include "frame/small_controls.h"
#include "platform/gui/screen_fit.h"

class wxCommandEvent;
class wxInitDialogEvent;
class wxKeyEvent;
class wxSizeEvent;

namespace frame {

class CAboutDlg final : public wxDialog {
  public:
    // loggerType: the FAI recorder type the bound logger library reports.
    CAboutDlg(wxWindow* parent, int loggerType);
    bool Loaded() const { return loaded_; }
    int DoModal() { return loaded_ ? platform::gui::ShowModalOnScreen(*this) : -1; }

  private:
    void OnInitDialog(wxInitDialogEvent& event);
    int loggerType_;
    bool loaded_ = false;
};

// Builds the about box for the bound logger and runs it.
void ShowAboutBox(wxWindow* parent);

// The help page the resource bundle carries, run modal; false when the
// bundle has none.
bool ShowHelpPage(wxWindow* parent);

class CMapExportDlg final : public wxDialog {
  public:
    CMapExportDlg(wxWindow* parent, MapExportValues values);
    bool Loaded() const { return loaded_; }
    int DoModal() { return loaded_ ? platform::gui::ShowModalOnScreen(*this) : -1; }
    const MapExportValues& Values() const { return values_; }

  private:
    void OnInitDialog(wxInitDialogEvent& event);
    void OnOK(wxCommandEvent& event);
    MapExportValues values_;
    bool loaded_ = false;
};

// The export options from "Settings\MapExport"; after OK they are stored
// and returned, nothing after Cancel.
std::optional<MapExportValues> RunMapExportDialog(wxWindow* parent);

class CDeclareConfirmDlg final : public wxDialog {
  public:
    explicit CDeclareConfirmDlg(wxWindow* parent);
    bool Loaded() const { return loaded_; }
    int DoModal() { return loaded_ ? platform::gui::ShowModalOnScreen(*this) : -1; }
    // 0 none yet, 1 cancelled, 2 declared.
    int m_nResult = 0;

  private:
    void OnInitDialog(wxInitDialogEvent& event);
    void OnDeclare(wxCommandEvent& event);
    void OnCancel(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnSize(wxSizeEvent& event);
    wxRect initial_;
    bool loaded_ = false;
};

// The declaration's confirmation: runs the dialog until it gives an answer;
// true when the task is to be declared.
bool ConfirmDeclaration(wxWindow* parent);

}  // namespace frame
